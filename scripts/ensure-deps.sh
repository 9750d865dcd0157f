#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing,
# through sudo when not running as root.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-serialport-dev libgl1-mesa-dev
      libgtest-dev libgmock-dev googletest libbenchmark-dev
      xvfb xauth)
missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" != 0 ]; then
  SUDO=sudo
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO -E apt-get install -y -qq "${missing[@]}"
