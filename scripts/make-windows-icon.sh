#!/usr/bin/env bash
# Makes data/icons/pathtally.ico (the Windows program's icon, sizes 16 to 256) from the SVG
# icon. Run after changing the SVG; needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sizes=(16 24 32 48 64 256)
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" data/icons/net.pathtally.Pathtally.svg -o "$tmp/$s.png"
done
convert $(printf "$tmp/%s.png " "${sizes[@]}") data/icons/pathtally.ico
