#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero when anything fails. CI=true turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh
BUILD="${BUILD_DIR:-build}"
WERROR=OFF
if [ "${CI:-}" = "true" ]; then
  WERROR=ON
fi
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)  # rebuilds reuse what did not change
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR="$WERROR" \
  "${LAUNCHER[@]}"
cmake --build "$BUILD" -j"$(nproc)"
cd "$BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
