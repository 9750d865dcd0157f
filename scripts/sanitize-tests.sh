#!/usr/bin/env bash
# Every test again in a build of its own with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer (the fuzz corpora's replays
# among them). Memory errors, leaks and undefined behaviour fail the run.
set -euo pipefail
cd "$(dirname "$0")/.."
# The sanitized build has a folder of its own so it never mixes objects
# with the plain one.
SAN_BUILD="${SAN_BUILD_DIR:-build-sanitize}"
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Warnings are already errors in the plain build; the sanitizers'
# instrumentation makes the compiler warn about code it rewrote itself.
# Unoptimised with line tables only: a quarter of the compile time of
# -O2 -g, and still every report with its file and line.
cmake -S . -B "$SAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1 -DNDEBUG" -DQUILLON_WERROR=OFF \
  -DQUILLON_SANITIZE=ON -DQUILLON_BUILD_BENCH=OFF "${LAUNCHER[@]}"
cmake --build "$SAN_BUILD" -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
cd "$SAN_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 900
