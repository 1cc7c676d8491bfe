#!/usr/bin/env bash
# Runs one test binary with its own HOME and XDG folders and, with --xvfb, its own X server;
# with --weston, a Wayland compositor of its own (weston, headless) instead.
set -euo pipefail
xvfb=0
weston=0
if [[ "${1:-}" == "--xvfb" ]]; then xvfb=1; shift; fi
if [[ "${1:-}" == "--weston" ]]; then weston=1; shift; fi
root=$(mktemp -d /tmp/pathtally-test.XXXXXX)
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
  XDG_CACHE_HOME=$root/cache XDG_RUNTIME_DIR=$root/run PT_TEST_ROOT=$root
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT
# Sanitizer builds: leaks that system libraries keep for the life of the process are not
# ours to report, nor the web engine's own sized deletes of its objects (the distribution's
# library frees some of them by a base type, which is correct for its allocator).
export LSAN_OPTIONS="suppressions=$(dirname "$0")/../lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ASAN_OPTIONS="new_delete_type_mismatch=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
if ((xvfb)); then
  # -noreset: without it the server resets whenever its last client leaves, and a test
  # connecting at that moment is refused.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$root/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [[ -s "$root/display" ]] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$root/display")"
  export QT_QPA_PLATFORM=xcb
  # An X11 session of its own, whatever session the tests are started from.
  export XDG_SESSION_TYPE=x11
  unset WAYLAND_DISPLAY PATHTALLY_INPUT
fi
if ((weston)); then
  # A Wayland session of its own: weston's headless back end drawing with pixman (no GPU
  # needed), its screenshooter allowed (--debug) so that tests read back what it shows.
  # Where it cannot start, the tests are told why in PT_WESTON_UNAVAILABLE and skip.
  export XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
  unset DISPLAY PATHTALLY_INPUT WAYLAND_DISPLAY
  socket=pathtally-test-$$
  if ! command -v weston >/dev/null; then
    export PT_WESTON_UNAVAILABLE="weston is not installed (scripts/deps.sh --test installs it)"
  else
    weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
      --socket="$socket" --idle-time=0 --debug >"$root/weston.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
      [[ -S "$XDG_RUNTIME_DIR/$socket" ]] && break
      kill -0 "${pids[-1]}" 2>/dev/null || break
      sleep 0.05
    done
    if [[ -S "$XDG_RUNTIME_DIR/$socket" ]]; then
      export WAYLAND_DISPLAY=$socket PT_WESTON_LOG=$root/weston.log
    else
      export PT_WESTON_UNAVAILABLE="weston did not start: $(tail -n 3 "$root/weston.log" | tr '\n' ' ')"
    fi
  fi
fi
"$@"
