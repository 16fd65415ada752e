#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, or
# says exactly which are missing when not run as root.
set -euo pipefail
packages=(cmake g++ make freeglut3-dev libglu1-mesa-dev libx11-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xdotool x11-utils faketime)
[ "${1:-}" = play ] && packages=(cmake g++ make freeglut3-dev libglu1-mesa-dev libx11-dev libgtest-dev libgmock-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "missing Debian packages; install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
