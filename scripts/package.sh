#!/usr/bin/env bash
# Builds every package into build/dist/: the Debian packages
# tonkelwerk_<version>_amd64.deb and libtonkelwerk-dev_<version>_amd64.deb
# from the release build, and from the Windows cross build a portable zip and
# the installer tonkelwerk-<version>-setup.exe. Installs what it needs first.
# Prints each package's size and the time it all took.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh win32

started=$(date +%s)
dist=$PWD/build/dist
rm -rf "$dist"
for preset in release win32; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target tonkelwerk tonkelwerk-render
  # What the install rules take that the two programs do not bring along.
  if [[ $preset == release ]]; then
    cmake --build --preset release -j "$(nproc)" --target tonkelwerk_sound tonkelwerk_icons \
      man_tonkelwerk.1 man_tonkelwerk-render.1 changelog_program changelog_dev
  fi
done
echo "== packages"
(cd build/release && cpack -G DEB -B "$dist")
(cd build/win32 && cpack -G "ZIP;NSIS" -B "$dist")
rm -rf "$dist/_CPack_Packages"
ls -l "$dist"
echo "built in $(($(date +%s) - started)) s"
