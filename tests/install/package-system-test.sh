#!/usr/bin/env bash
# The Debian package on the real system: dpkg -i, the installed program answers --version,
# started hidden in a tray it loads its web module from the installed place once a page is
# shown, and dpkg -r takes everything away again. Needs root and an X server (run-test.sh
# --xvfb); skipped (77) otherwise, and where a pathtally package is already installed.
# Usage: package-system-test.sh <build dir>
set -euo pipefail
build=$1
[[ $(id -u) -eq 0 ]] || { echo "SKIP: needs root to install a package"; exit 77; }
[[ -n "${DISPLAY:-}" ]] || { echo "SKIP: needs an X server"; exit 77; }

# One run at a time on this machine: another build's run would install and remove the same
# package under this one.
exec 9>/var/lock/pathtally-package-test.lock
flock -w 900 9 || { echo "FAIL: another package test holds the lock"; exit 1; }
if dpkg-query -W -f='${Status}' pathtally 2>/dev/null | grep -q "ok installed"; then
  echo "SKIP: a pathtally package is installed here already; it is left alone"
  exit 77
fi

tmp=$(mktemp -d "${PT_TEST_ROOT:-/tmp}/package.XXXXXX")
installed=0 pids=()
# Whatever happens, nothing of the test stays on the system.
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if ((installed)); then dpkg_retry -P pathtally >/dev/null || echo "could not remove the package" >&2; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
# dpkg refuses while another dpkg or apt holds its lock: try again for a while.
dpkg_retry() {
  for _ in $(seq 60); do
    if dpkg "$@" 2>"$tmp/dpkg.err"; then return 0; fi
    grep -q "lock" "$tmp/dpkg.err" || { cat "$tmp/dpkg.err" >&2; return 1; }
    sleep 5
  done
  return 1
}
# Polls `command` until it succeeds, up to `seconds`.
wait_for() {
  local seconds=$1; shift
  for _ in $(seq $((seconds * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}

(cd "$tmp" && cpack -G DEB -B "$tmp/pkg" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1) ||
  { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/pkg/pathtally_*.deb)
installed=1
dpkg_retry -i "$deb" >/dev/null
[[ "$(command -v pathtally)" == /usr/bin/pathtally ]] || { echo "FAIL: not on PATH"; exit 1; }
[[ -f /usr/lib/udev/rules.d/70-pathtally-input.rules ]] || { echo "FAIL: no udev rule"; exit 1; }
version=$(env -u DISPLAY pathtally --version)
[[ "$version" == "Pathtally "* ]] || { echo "FAIL: --version printed '$version'"; exit 1; }

# A tray, then the program started hidden in it from /, with its pages on a closed port.
trayer --edge bottom >/dev/null 2>&1 &
pids+=($!)
wait_for 30 xdotool search --class trayer >/dev/null || { echo "FAIL: no tray"; exit 1; }
mkdir -p "$XDG_CONFIG_HOME/pathtally"
sqlite3 "$XDG_CONFIG_HOME/pathtally/settings.db" "CREATE TABLE settings (root TEXT NOT NULL,
  key TEXT NOT NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT,
  PRIMARY KEY (root, key, name));
  INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'MinToSystray', '1'),
    ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'UpdateCK', '0'),
    ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'SiteRoot', 'http://127.0.0.1:9');"
(cd / && exec env -u PATHTALLY_WEB_MODULE QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu pathtally) \
  >"$tmp/program.log" 2>&1 &
app=$!
pids+=($app)
module_mapped() { grep -q "pathtally_web.so" "/proc/$app/maps"; }
# The icon shows in the tray; the window stays hidden and the module unloaded.
has_window() { [[ -n "$(xdotool search --onlyvisible --pid "$app" 2>/dev/null)" ]]; }
wait_for 60 has_window ||
  { echo "FAIL: no tray icon"; cat "$tmp/program.log"; exit 1; }
if xdotool search --onlyvisible --name '^PathtallyV' >/dev/null 2>&1; then
  echo "FAIL: the window was shown at a start hidden in the tray"; exit 1
fi
module_mapped && { echo "FAIL: the web module was loaded while hidden"; exit 1; }

# A left click on the icon shows the window with its home strip: the page needs the module.
icon=$(xdotool search --onlyvisible --pid "$app" | head -1)
xdotool mousemove --window "$icon" 5 5 click 1
wait_for 60 module_mapped || { echo "FAIL: the web module was not loaded"; cat "$tmp/program.log"; exit 1; }
where=$(grep -o '/[^ ]*pathtally_web.so' "/proc/$app/maps" | head -1)
[[ "$where" == /usr/lib/pathtally/pathtally_web.so ]] || { echo "FAIL: module from $where"; exit 1; }
# Started from /, the data file went to the data folder.
kill -TERM "$app"
wait "$app" || true
[[ -f "$XDG_DATA_HOME/pathtally/PTDATA.CVD" ]] || { echo "FAIL: no data file in the data folder"; exit 1; }
[[ ! -e /PTDATA.CVD ]] || { echo "FAIL: a data file in /"; exit 1; }

dpkg_retry -r pathtally >/dev/null
installed=0
for f in /usr/bin/pathtally /usr/lib/pathtally /usr/share/applications/net.pathtally.Pathtally.desktop \
  /usr/lib/udev/rules.d/70-pathtally-input.rules; do
  [[ ! -e "$f" ]] || { echo "FAIL: $f is left after dpkg -r"; exit 1; }
done
echo "package installed, run from the tray with its web module, removed"
