#!/usr/bin/env bash
# Fetches one Debian source package at an exact version and unpacks it, with
# Debian's patches applied, into a given folder: the Windows build compiles
# the very sources of the Linux libraries, so that both write the same bytes.
# Leaves out: the build; needs the suite's deb-src entries
# (scripts/install-deps.sh win32 adds them).
# Usage: debian-source.sh PACKAGE VERSION FOLDER
set -euo pipefail
package=$1 version=$2 folder=$3

work=$(mktemp -d "$folder.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq --download-only "$package=$version") || {
  echo "cannot fetch the source of $package $version: run scripts/install-deps.sh win32" >&2
  exit 1
}
# apt-get has checked every file against the signed index already.
dpkg-source --no-check -x "$work/${package}_${version#*:}.dsc" "$work/source" >/dev/null
rm -rf "$folder"
mv "$work/source" "$folder"
