#!/usr/bin/env bash
# How much of one core quillon-cli uses while it sends a document into the
# simulated card and reads it back over a pseudo-terminal in real time: the
# process's user + system CPU time over its wall time, for each command.
# Almost all of a transfer is waiting for the 9600-baud line, so the target
# is at most 2 % of one core.
#
#   bench/cpu_send_get.sh BUILD_DIR
#
# Needs quillon-cli and quillon-sim built in BUILD_DIR and GNU time at
# /usr/bin/time. Takes a few minutes (the table really goes at 9600 baud).
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
BUILD="$(cd "$1" && pwd)"
HERE="$(cd "$(dirname "$0")/.." && pwd)"
CLI="$BUILD/quillon-cli"
SIM="$BUILD/quillon-sim"
TIME=/usr/bin/time
for f in "$CLI" "$SIM" "$TIME"; do
  if [ ! -x "$f" ]; then
    echo "$f is missing" >&2
    exit 2
  fi
done

RUNDIR="$(mktemp -d /tmp/quillon-cpu.XXXXXX)"
"$SIM" --link "$RUNDIR/card" --state "$RUNDIR/card.json" >"$RUNDIR/sim.log" 2>&1 &
SIM_PID=$!
cleanup() {
  kill "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  rm -rf "$RUNDIR"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -e "$RUNDIR/card" ] && break
  sleep 0.05
done
if [ ! -e "$RUNDIR/card" ]; then
  echo "the simulated card did not start:" >&2
  cat "$RUNDIR/sim.log" >&2
  exit 1
fi

"$CLI" import-csv "$HERE/samples/site-a.csv" "$RUNDIR/site-a.bcf" >/dev/null

status=0
# Runs one quillon-cli command under GNU time and prints its share of a core.
measure() {
  local what="$1"
  shift
  if ! "$TIME" -f "%U %S %e" -o "$RUNDIR/time" "$CLI" "$@" >"$RUNDIR/out" 2>&1; then
    echo "$what failed:" >&2
    cat "$RUNDIR/out" >&2
    status=1
    return
  fi
  read -r user sys wall <"$RUNDIR/time"
  awk -v w="$what" -v u="$user" -v s="$sys" -v e="$wall" 'BEGIN {
    share = e > 0 ? 100 * (u + s) / e : 0
    printf "%-5s user %6.2f s  system %6.2f s  wall %7.2f s  CPU %5.2f %% of one core  %s\n",
           w, u, s, e, share, share <= 2.0 ? "(within 2 %)" : "(OVER 2 %)"
  }'
}

measure send send --device "$RUNDIR/card" --password quillon --erase-keys "$RUNDIR/site-a.bcf"
measure get get --device "$RUNDIR/card" --password quillon "$RUNDIR/read-back.bcf"
exit "$status"
