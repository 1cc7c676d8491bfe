#!/usr/bin/env bash
# Runs one Windows test binary (or program) under wine64 with a Wine prefix of its own,
# its own temporary folder and, with --xvfb, its own X server.
#   run-wine-test.sh [--xvfb] --template DIR program.exe [args...]
#   run-wine-test.sh [--xvfb] --template DIR --unix command [args...]
# With --unix the command is a Unix one that runs Windows programs itself ("$WINE64").
# The prefix is a copy of a template made once (wineboot) and kept in DIR, so a test binary
# pays for a copy, not for a Wine start-up from nothing. The binary sees PT_TEST_ROOT (its
# temporary folder as a Windows path) and, in the environment of this script, WINEPREFIX.
set -euo pipefail
xvfb=0
unix=0
template=""
while (($#)); do
  case "$1" in
    --xvfb) xvfb=1; shift ;;
    --template) template=$2; shift 2 ;;
    --unix) unix=1; shift ;;
    *) break ;;
  esac
done
[[ -n "$template" ]] || { echo "run-wine-test.sh: --template DIR is required" >&2; exit 2; }
export WINEDEBUG=-all WINEARCH=win64
# Debian keeps wine64 out of PATH (/usr/bin/wine picks it for 64-bit programs).
WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINE64
[[ -x "$WINE64" ]] || { echo "run-wine-test.sh: wine64 is not installed (scripts/deps.sh --windows)" >&2; exit 2; }
# No prompts to install Mono or Gecko: neither is part of the Debian packages.
export WINEDLLOVERRIDES="mscoree,mshtml="

make_template() {
  mkdir -p "$(dirname "$template")"
  exec 9>"$template.lock"
  flock 9
  if [[ ! -f "$template/.ready" ]]; then
    rm -rf "$template"
    WINEPREFIX="$template" "$WINE64" wineboot --init >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
    touch "$template/.ready"
  fi
  flock -u 9
}
make_template

root=$(mktemp -d /tmp/pathtally-wine.XXXXXX)
export WINEPREFIX=$root/prefix HOME=$root/home PT_UNIX_TEST_ROOT=$root/test
mkdir -p "$HOME"
cp -a "$template" "$WINEPREFIX"
pids=()
cleanup() {
  WINEPREFIX="$root/prefix" wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/test"
# Z: is the root of the Unix file system in every Wine prefix.
export PT_TEST_ROOT="Z:${root//\//\\}\\test"
if ((xvfb)); then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$root/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [[ -s "$root/display" ]] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$root/display")"
else
  unset DISPLAY
fi
if ((unix)); then "$@"; else "$WINE64" "$@"; fi
