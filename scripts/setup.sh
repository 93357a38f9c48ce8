#!/usr/bin/env bash
# Installs every Debian package the game, its asset generator and its tests
# need, then configures and builds the game into build/ (the game runs from
# build/game, next to kav.dat and the music).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  liballegro4-dev libmpg123-dev zlib1g-dev libxpresent-dev libxfixes-dev libxext-dev
  lame espeak-ng libfreetype-dev fonts-dejavu-core libpng-dev
  libgtest-dev googletest libbenchmark-dev libx11-dev libxdamage-dev
  clang libclang-rt-14-dev valgrind
  xvfb xauth xdotool x11-utils imagemagick python3
  dpkg-dev fakeroot file lintian desktop-file-utils appstream
  libcpp-httplib-dev nlohmann-json3-dev libcurl4-openssl-dev libsqlite3-dev libpqxx-dev postgresql-15 postgresql-common
  chromium chromium-driver
)

source scripts/install_packages.sh
install_missing_packages "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs"
