#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the game need.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  libsdl2-dev libx11-dev libepoxy-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libfreetype-dev libpng-dev zlib1g-dev
  libogg-dev libvorbis-dev libopenal-dev libopenal1 libebur128-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  libasio-dev libboost1.81-dev
  xvfb xauth xdotool x11-utils x11-apps openbox
  python3 python3-fonttools
  desktop-file-utils xdg-utils appstream man-db groff-base dpkg-dev file util-linux
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and need root to install: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
