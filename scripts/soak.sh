#!/usr/bin/env bash
# The long fault soak: CYCLES Send and Get cycles with faults drawn from
# SEED, on the virtual clock. Builds the soak in BUILD_DIR (default build;
# use a build configured with -DQUILLON_SANITIZE=ON, e.g. build-asan, to run
# it under AddressSanitizer and LeakSanitizer) and prints its figures. Exits
# non-zero when an invariant breaks or the 1-in-10,000 cycles miss 99.9 %.
#
#   scripts/soak.sh CYCLES SEED [BUILD_DIR]
set -euo pipefail
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: scripts/soak.sh CYCLES SEED [BUILD_DIR]" >&2
  exit 2
fi
cycles=$1
seed=$2
cd "$(dirname "$0")/.."
build=${3:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j2 --target quillon_soak >/dev/null
exec "$build/tests/quillon_soak" --cycles "$cycles" --seed "$seed"
