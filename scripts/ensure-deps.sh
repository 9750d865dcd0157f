#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# As root it calls apt-get directly; otherwise through sudo when sudo is
# there. When neither works it prints the command to run and fails, so a
# newcomer is never left with a bare "command not found".
#
# Extra package names given as arguments are ensured as well (CI adds the
# formatter this way).
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-serialport-dev libgl1-mesa-dev
      nlohmann-json3-dev libcli11-dev
      libgtest-dev libgmock-dev googletest libbenchmark-dev
      xvfb xauth
      "$@")
missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

by_hand() {
  echo "Could not install the packages this program needs. Run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  echo "then run this command again." >&2
  exit 1
}

# Through env rather than sudo -E: sudo's security policy may drop the
# environment, and as root there is no sudo to pass it through at all.
as_admin=()
if [ "$(id -u)" != 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages: ${missing[*]}, and this is not root and there is no sudo." >&2
    by_hand
  fi
  as_admin=(sudo)
fi

echo "Installing: ${missing[*]}"
"${as_admin[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || by_hand
"${as_admin[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" || by_hand
