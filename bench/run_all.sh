#!/usr/bin/env bash
# Runs every benchmark binary of a build (bench_*) on an X server of its own and prints
# one table: each figure beside its budget, with the machine's core count.
#
# A benchmark reports a figure by printing a line
#   RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict
# (budget may be empty; verdict is "ok", "MISSED" or "-"). Other lines are shown as they
# come. Usage: bench/run_all.sh <build dir>
set -uo pipefail
build=${1:?usage: bench/run_all.sh <build dir>}
[[ -d "$build" ]] || { echo "no build directory $build" >&2; exit 2; }

root=$(mktemp -d /tmp/pathtally-bench.XXXXXX)
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
  XDG_CACHE_HOME=$root/cache XDG_RUNTIME_DIR=$root/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
xvfb_pid=
bus_pid=
cleanup() {
  [[ -n "$bus_pid" ]] && kill "$bus_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$root/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$root/display" ]] && break; sleep 0.05; done
[[ -s "$root/display" ]] || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$root/display")" QT_QPA_PLATFORM=xcb
# The X server's own CPU is measured beside the program's.
export PT_XVFB_PID=$xvfb_pid
# A session bus, as every desktop session has: without one, each Qt program (the
# accessibility bridge) starts dbus-launch on its way to the first window.
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v dbus-daemon >/dev/null; then
  if bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1); then
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
    bus_pid=$(sed -n 2p <<<"$bus")
  fi
fi
bus_note=${bus_pid:+one started for the run}
bus_note=${bus_note:-${DBUS_SESSION_BUS_ADDRESS:+given by the caller}}
bus_note=${bus_note:-none}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=$root/results.tsv
: >"$results"
status=0
shopt -s nullglob
benches=("$build"/bench/bench_* "$build"/bench_*)
if ((${#benches[@]} == 0)); then
  echo "no benchmark binaries under $build (build the bench_* targets first)" >&2
  exit 2
fi
for bin in "${benches[@]}"; do
  [[ -x "$bin" && -f "$bin" ]] || continue
  name=$(basename "$bin")
  name=${name#bench_}
  echo "== $name"
  "$bin" >"$root/output" 2>&1
  rc=$?
  while IFS= read -r line; do
    if [[ "$line" == RESULT$'\t'* ]]; then
      printf '%s\t%s\n' "$name" "${line#RESULT$'\t'}" >>"$results"
    else
      printf '   %s\n' "$line"
    fi
  done <"$root/output"
  ((rc == 0)) || { echo "   ($name exited with $rc)"; status=1; }
done

echo
echo "Benchmarks on $(nproc) core(s), $(uname -m), display $DISPLAY (Xvfb)," \
  "session bus: $bus_note;" \
  "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -F'\t' '
  { b[NR]=$1; f[NR]=$2; v[NR]=$3; u[NR]=$4; g[NR]=$5; k[NR]=$6
    if (length($1) > wb) wb = length($1)
    if (length($2) > w) w = length($2) }
  END {
    printf "%-*s %-*s %14s  %-12s %-8s %s\n", wb, "bench", w, "figure", "value", "unit", "budget", "verdict"
    for (i = 1; i <= NR; i++)
      printf "%-*s %-*s %14s  %-12s %-8s %s\n", wb, b[i], w, f[i], v[i], u[i], (g[i] == "" ? "-" : g[i]), k[i]
  }' "$results"
if grep -q $'\tMISSED$' "$results"; then status=1; fi
exit $status
