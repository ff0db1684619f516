#!/usr/bin/env bash
# Builds the Debian package in build/deb and checks it with lintian:
#   scripts/build-deb.sh        ->  build/deb/kivora_VERSION_ARCH.deb
# Installs what is missing first (scripts/deps.sh). Install the result with
#   apt install ./build/deb/kivora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
kivora_install_missing $KIVORA_PACKAGE_TOOLS

# Debian's hardening and reproducibility flags, as a package build would use.
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
# Debian puts games in /usr/games; the command-line programs go to
# /usr/bin and the data to /usr/share/kivora.
cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=bin -DKIVORA_GAME_BINDIR=games -DKIVORA_DESKTOP_EXEC=/usr/games/kivora \
  -DKIVORA_FIND_SOURCE_ARENA=OFF -DBUILD_TESTING=OFF -DKIVORA_BENCH=OFF >/dev/null
cmake --build build/deb -j "$(nproc)"
rm -f build/deb/kivora_*.deb
cpack -G DEB --config build/deb/CPackConfig.cmake -B build/deb >/dev/null
deb=$(ls build/deb/kivora_*.deb)
echo "=== lintian $deb"
lintian --fail-on error --info "$deb"
echo "$deb"
