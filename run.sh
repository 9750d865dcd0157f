#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Quillon Radio Programmer.
# Without a display it says so and runs a short headless demonstration with
# quillon-cli instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh
BUILD="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target quillon quillon-cli quillon-sim

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY is not set): running a short headless demonstration instead."
  echo
  "$BUILD/quillon-cli" --version
  "$BUILD/quillon-cli" --help
  exit 0
fi

exec "$BUILD/quillon" "$@"
