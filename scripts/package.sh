#!/usr/bin/env bash
# Builds every package into build/dist/: the Debian packages
# tonkelwerk_<version>_amd64.deb, libtonkelwerk1_<version>_amd64.deb,
# libtonkelwerk-dev_<version>_amd64.deb and python3-tonkelwerk_<version>_all.deb
# and the Python wheel tonkelwerk-<engine version>-py3-none-linux_x86_64.whl
# from the hardened build of the deb preset, from the Windows cross build a
# portable zip and the installer tonkelwerk-<version>-setup.exe, and from the
# web build the npm package tonkelwerk-<engine version>.tgz. Installs
# what it needs first.
# Prints each package's size and the time it all took.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh win32
scripts/install-deps.sh web

started=$(date +%s)
dist=$PWD/build/dist
rm -rf "$dist"
# The deb preset builds nothing but what the Debian packages take.
echo "== deb build"
cmake --preset deb >/dev/null
cmake --build --preset deb -j "$(nproc)"
echo "== win32 build"
cmake --preset win32 >/dev/null
# The format libraries' notices and the engine's DLL (sdk/) go into the
# Windows packages beside the programs.
cmake --build --preset win32 -j "$(nproc)" --target tonkelwerk tonkelwerk-render \
  tonkelwerk_format_notices tonkelwerk_shared
echo "== packages"
(cd build/deb && cpack -G DEB -B "$dist")
cp build/deb/python/dist/tonkelwerk-*.whl "$dist"/
(cd build/win32 && cpack -G "ZIP;NSIS" -B "$dist")
rm -rf "$dist/_CPack_Packages"
echo "== npm package"
cmake --preset web >/dev/null
# Only this build's tarball: an older version's would be copied along.
rm -f build/web/npm/tonkelwerk-*.tgz
cmake --build --preset web -j "$(nproc)" --target tonkelwerk_npm
cp build/web/npm/tonkelwerk-*.tgz "$dist"
ls -l "$dist"
echo "built in $(($(date +%s) - started)) s"
