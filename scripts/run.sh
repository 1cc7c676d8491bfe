#!/usr/bin/env bash
# Starts the built program with the product website beside it: the site (pathtally-site) on
# 127.0.0.1 with its database under build/, and the program's SiteRoot pointed at it for the
# run (the value it had is put back afterwards). PATHTALLY_SITE_ROOT=<address> points the
# program at another site instead and starts none. Without a display it starts a virtual X
# server first, writes a screenshot and tells how to look at the running program.
set -euo pipefail
bin="${1:-build/default/pathtally}"
workdir="${PATHTALLY_WORKDIR:-$HOME/.local/share/pathtally}"
mkdir -p "$workdir"
bin="$(realpath "$bin")"
build_dir="$(dirname "$bin")"
pids=()
restore_site_root=""
cleanup() {
  [[ -n "$restore_site_root" ]] && eval "$restore_site_root"
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- the site -------------------------------------------------------------------------
site_root="${PATHTALLY_SITE_ROOT:-}"
if [[ -z "$site_root" && -x "$build_dir/pathtally-site" ]]; then
  mkdir -p build
  port_file=$(mktemp -u /tmp/pathtally-site-port.XXXXXX)
  site_log="$(pwd)/build/site.log"
  for port in "${PATHTALLY_SITE_PORT:-8000}" 0; do  # 0: any free port when 8000 is taken
    "$build_dir/pathtally-site" --listen "127.0.0.1:$port" --database "$(pwd)/build/site.db" \
      --downloads "$build_dir" --port-file "$port_file" >"$site_log" 2>&1 &
    site=$!
    for _ in $(seq 100); do [[ -s "$port_file" ]] || ! kill -0 $site 2>/dev/null && break; sleep 0.05; done
    if [[ -s "$port_file" ]]; then pids+=($site); break; fi
  done
  if [[ -s "$port_file" ]]; then
    site_root="http://127.0.0.1:$(cat "$port_file")"
    rm -f "$port_file"
    echo "The product website runs at $site_root (log: $site_log)."
  else
    echo "The product website did not start (see $site_log); the program uses its own SiteRoot." >&2
  fi
fi
if [[ -n "$site_root" ]]; then
  config="${XDG_CONFIG_HOME:-$HOME/.config}/pathtally"
  mkdir -p "$config" && chmod 700 "$config"
  store="$config/settings.db"
  where="root='HKEY_LOCAL_MACHINE' AND key='SOFTWARE\\Corvandel\\Pathtally' AND name='SiteRoot'"
  sqlite3 "$store" "CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, name));"
  chmod 600 "$store"
  previous=$(sqlite3 "$store" "SELECT quote(value) FROM settings WHERE $where;")
  sqlite3 "$store" "INSERT OR REPLACE INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'SiteRoot', '$site_root');"
  if [[ -n "$previous" ]]; then
    restore_site_root="sqlite3 '$store' \"UPDATE settings SET value=$previous WHERE $where;\""
  else
    restore_site_root="sqlite3 '$store' \"DELETE FROM settings WHERE $where;\""
  fi
fi

# --- the program ----------------------------------------------------------------------
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  (cd "$workdir" && "$bin") &
  pids+=($!)
  wait "${pids[-1]}"
  exit
fi
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>build/.xvfb-display >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s build/.xvfb-display ]] && break; sleep 0.05; done
disp=":$(head -n1 build/.xvfb-display)"
export DISPLAY=$disp
(cd "$workdir" && "$bin") &
app=$!
pids+=($app)
sleep 4
shot="$(pwd)/build/screenshot.png"
import -window root "$shot" 2>/dev/null || true
cat <<MSG
No display was found, so Pathtally runs on the virtual X server $disp.
  screenshot of the screen:  $shot
  take another:              DISPLAY=$disp import -window root shot.png
  drive it:                  DISPLAY=$disp xdotool mousemove 400 300 click 1
  the website:               ${site_root:-(none started)}
Press Ctrl+C to stop.
MSG
wait $app
