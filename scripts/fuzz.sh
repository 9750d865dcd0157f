#!/usr/bin/env bash
# Runs one libFuzzer target for a while:
#   scripts/fuzz.sh TARGET SECONDS [extra libFuzzer options]
# TARGET is a name from fuzz/fuzz_<name>.cpp (document, csv, bci_engine, ...).
# Builds the fuzzers with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-fuzz/ when needed, then fuzzes a scratch copy of fuzz/corpus/TARGET
# so the inputs it finds never land in the repository by themselves. A crash
# leaves its input in the scratch folder's artifacts/ and fails the run; copy
# it into the corpus once the fault is mended. Prints the executions count.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
case $seconds in
  ''|*[!0-9]*) echo "SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/fuzz/corpus/$target
if [ ! -f "$root/fuzz/fuzz_$target.cpp" ] || [ ! -d "$corpus" ]; then
  echo "No fuzz target '$target'. There are:" >&2
  ls "$root/fuzz" | sed -n 's/^fuzz_\(.*\)\.cpp$/  \1/p' >&2
  exit 2
fi
if ! command -v clang++ >/dev/null 2>&1; then
  echo "The fuzzers need clang: run scripts/ensure-deps.sh clang" >&2
  exit 1
fi

build=${QUILLON_FUZZ_BUILD:-$root/build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_BUILD_FUZZ=ON -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF "${launcher[@]}"
fi
cmake --build "$build" -j"${QUILLON_FUZZ_JOBS:-2}" --target "fuzz_$target"
binary=$build/fuzz/fuzz_$target
if [ ! -x "$binary" ]; then
  echo "$binary was not built: does this clang have libFuzzer?" >&2
  exit 1
fi

scratch=$build/scratch/$target
rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/artifacts"
cp "$corpus"/* "$scratch/corpus/"
log=$scratch/fuzz.log
echo "Fuzzing $target for $seconds s on a copy of its corpus in $scratch"
status=0
# No -jobs: one process, so the run stops at the first finding and the log
# holds it whole.
"$binary" "$scratch/corpus" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$scratch/artifacts/" -timeout=10 -rss_limit_mb=2048 "$@" \
  >"$log" 2>&1 || status=$?
grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -20 || true
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ -z "$execs" ]; then
  execs=$(sed -n 's/^#\([0-9]*\)\t.*/\1/p' "$log" | tail -1)
fi
new=$(($(ls "$scratch/corpus" | wc -l) - $(ls "$corpus" | wc -l)))
echo "$target: ${seconds}s, ${execs:-0} executions, $new new corpus inputs (in $scratch/corpus)"
if [ $status -ne 0 ]; then
  echo "$target: FINDING (exit $status); the input is in $scratch/artifacts/, the log in $log" >&2
  ls "$scratch/artifacts" >&2
fi
exit $status
