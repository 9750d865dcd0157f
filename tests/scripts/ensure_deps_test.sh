#!/usr/bin/env bash
# Runs scripts/ensure-deps.sh against stand-in dpkg-query, apt-get, sudo and
# id programs, alone on PATH, and checks the exact commands it issues as
# root, as a user with sudo, and as a user for whom neither works.
set -u
script="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

make_bin() {
  # A PATH holding only the stand-ins and the few real tools the script uses.
  local bin="$work/bin-$1"
  mkdir -p "$bin"
  for tool in bash env grep; do
    ln -s "$(command -v "$tool")" "$bin/$tool"
  done
  cat >"$bin/dpkg-query" <<'STUB'
#!/bin/bash
pkg="${@: -1}"
for m in $FAKE_MISSING; do
  [ "$m" = "$pkg" ] && exit 1
done
printf 'install ok installed'
STUB
  cat >"$bin/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $* [DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}]" >>"$FAKE_LOG"
exit "${FAKE_APT_STATUS:-0}"
STUB
  cat >"$bin/id" <<'STUB'
#!/bin/bash
echo "$FAKE_UID"
STUB
  chmod +x "$bin/dpkg-query" "$bin/apt-get" "$bin/id"
  echo "$bin"
}

add_sudo() {
  cat >"$1/sudo" <<'STUB'
#!/bin/bash
echo "sudo $*" >>"$FAKE_LOG"
[ "${FAKE_SUDO_STATUS:-0}" = 0 ] || exit "$FAKE_SUDO_STATUS"
exec "$@"
STUB
  chmod +x "$1/sudo"
}

# run NAME EXPECTED_STATUS EXPECTED_LOG [ENV...]
run() {
  local name="$1" want_status="$2" want_log="$3"
  shift 3
  local bin="$work/bin-$name"
  : >"$work/$name.log"
  env -i PATH="$bin" FAKE_LOG="$work/$name.log" "$@" \
    "$bin/bash" "$script" >"$work/$name.out" 2>"$work/$name.err"
  local status=$?
  local got
  got="$(cat "$work/$name.log")"
  if [ "$status" != "$want_status" ] || [ "$got" != "$want_log" ]; then
    echo "FAIL $name: status $status (want $want_status)"
    echo "--- commands issued:"; echo "$got"
    echo "--- commands wanted:"; echo "$want_log"
    echo "--- stdout:"; cat "$work/$name.out"
    echo "--- stderr:"; cat "$work/$name.err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect_in() {
  local name="$1" stream="$2" text="$3"
  if ! grep -qF -- "$text" "$work/$name.$stream"; then
    echo "FAIL $name: $stream lacks: $text"
    cat "$work/$name.$stream"
    failures=$((failures + 1))
  fi
}

missing="qt6-base-dev xvfb"

make_bin nothing-missing >/dev/null
run nothing-missing 0 "" FAKE_UID=1000 FAKE_MISSING=""

make_bin root >/dev/null
run root 0 "apt-get update -qq [DEBIAN_FRONTEND=noninteractive]
apt-get install -y -qq qt6-base-dev xvfb [DEBIAN_FRONTEND=noninteractive]" \
  FAKE_UID=0 FAKE_MISSING="$missing"
expect_in root out "Installing: qt6-base-dev xvfb"

# Root with a sudo on PATH still calls apt-get directly.
add_sudo "$(make_bin root-with-sudo)"
run root-with-sudo 0 "apt-get update -qq [DEBIAN_FRONTEND=noninteractive]
apt-get install -y -qq qt6-base-dev xvfb [DEBIAN_FRONTEND=noninteractive]" \
  FAKE_UID=0 FAKE_MISSING="$missing"

add_sudo "$(make_bin user-sudo)"
run user-sudo 0 "sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
apt-get update -qq [DEBIAN_FRONTEND=noninteractive]
sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq qt6-base-dev xvfb
apt-get install -y -qq qt6-base-dev xvfb [DEBIAN_FRONTEND=noninteractive]" \
  FAKE_UID=1000 FAKE_MISSING="$missing"

make_bin user-no-sudo >/dev/null
run user-no-sudo 1 "" FAKE_UID=1000 FAKE_MISSING="$missing"
expect_in user-no-sudo err "apt-get update && apt-get install -y qt6-base-dev xvfb"

# A user whom sudo refuses gets the same advice, not sudo's error alone.
add_sudo "$(make_bin user-sudo-refused)"
run user-sudo-refused 1 "sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq" \
  FAKE_UID=1000 FAKE_MISSING="$missing" FAKE_SUDO_STATUS=1
expect_in user-sudo-refused err "apt-get update && apt-get install -y qt6-base-dev xvfb"

# Extra packages named on the command line are checked too.
make_bin extra >/dev/null
script_args_name=extra
: >"$work/extra.log"
env -i PATH="$work/bin-extra" FAKE_LOG="$work/extra.log" FAKE_UID=0 FAKE_MISSING="clang-format" \
  "$work/bin-extra/bash" "$script" clang-format >/dev/null 2>&1
if [ "$(cat "$work/extra.log")" != "apt-get update -qq [DEBIAN_FRONTEND=noninteractive]
apt-get install -y -qq clang-format [DEBIAN_FRONTEND=noninteractive]" ]; then
  echo "FAIL $script_args_name: extra package not installed"; cat "$work/extra.log"
  failures=$((failures + 1))
else
  echo "ok   extra"
fi

echo "$failures failed"
[ "$failures" = 0 ]
