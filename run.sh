#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Quillon Radio Programmer
# attached to its built-in simulated transceiver card (quillon-sim on a
# pseudo-terminal; log in with the password "quillon"). Without a display it
# says so and runs a short headless demonstration with quillon-cli instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh
BUILD="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target quillon quillon-cli quillon-sim

RUNDIR="$(mktemp -d /tmp/quillon-run.XXXXXX)"
STATE_DIR="${XDG_STATE_HOME:-$HOME/.local/state}/quillon"
mkdir -p "$STATE_DIR"
"$BUILD/quillon-sim" --link "$RUNDIR/card" --state "$STATE_DIR/simulated-card.json" \
  >"$RUNDIR/sim.log" 2>&1 &
SIM=$!
cleanup() {
  kill "$SIM" 2>/dev/null || true
  wait "$SIM" 2>/dev/null || true
  rm -rf "$RUNDIR"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -e "$RUNDIR/card" ] && break
  sleep 0.05
done
if [ ! -e "$RUNDIR/card" ]; then
  echo "The simulated card did not start:" >&2
  cat "$RUNDIR/sim.log" >&2
  exit 1
fi
echo "Simulated transceiver card on $RUNDIR/card (user \"field\", password \"quillon\")."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY is not set): running a short headless demonstration instead."
  echo
  DEMO="$RUNDIR/demo"
  mkdir -p "$DEMO"
  run() {
    echo "\$ quillon-cli $*"
    "$BUILD/quillon-cli" "$@"
    echo
  }
  echo "A sample site's channel table (samples/site-a.csv) made into a document, sent into the"
  echo "simulated card, read back into a new document, and listed:"
  echo
  run import-csv samples/site-a.csv "$DEMO/site-a.bcf"
  run send --device "$RUNDIR/card" --password quillon --erase-keys "$DEMO/site-a.bcf"
  run get --device "$RUNDIR/card" --password quillon "$DEMO/read-back.bcf"
  run list "$DEMO/read-back.bcf"
  exit 0
fi

"$BUILD/quillon" --device "$RUNDIR/card" "$@"
