#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a build folder of their own and runs each one
# for a while, starting from the seeds in fuzz/corpus/<target>/ (the seeds are copied;
# the repository is never written). A crash, a sanitizer report or a broken property
# fails the run and leaves the input in <build>/findings/.
#
# Usage: fuzz/run-fuzzers.sh <build folder> [seconds per target] [jobs]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: fuzz/run-fuzzers.sh <build folder> [seconds per target] [jobs]}
seconds=${2:-5}
jobs=${3:-2}
command -v clang++ >/dev/null || { echo "clang++ is missing (scripts/deps.sh --test)" >&2; exit 1; }

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DPATHTALLY_FUZZ=ON -DPATHTALLY_BUILD_TESTS=OFF \
    -DPATHTALLY_WERROR=OFF >/dev/null
fi
cmake --build "$build" -j"$jobs" --target fuzzers

mkdir -p "$build/findings"
status=0
for target in DataFileFuzz NumberTextFuzz StartupMergeFuzz ScheduleRestoreFuzz; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  [[ -d "$source_dir/fuzz/corpus/$target" ]] && cp -n "$source_dir/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target: ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/findings/$target-" -print_final_stats=1 "$corpus" \
      >"$build/$target.log" 2>&1; then
    status=1
    echo "$target FAILED:"
    tail -n 40 "$build/$target.log"
  else
    grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/$target.log" | sed 's/^/   /'
  fi
done
exit $status
