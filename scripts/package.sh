#!/usr/bin/env bash
# Builds the release preset and packs it as a Debian package (CPack); prints the path of
# the .deb on stdout, everything else on stderr.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >&2
# A new version needs its entry in the Debian changelog and its AppStream release.
version=$(sed -n 's/^project(soundmodule VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [[ $(head -n 1 resources/debian/changelog) != "soundmodule ($version) "* ]]; then
  echo "package: resources/debian/changelog has no entry for $version at the top" >&2
  exit 1
fi
if ! grep -qF "<release version=\"$version\"" resources/invalid.varnholt.soundmodule.metainfo.xml; then
  echo "package: the metainfo in resources/ has no <release> for $version" >&2
  exit 1
fi
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >&2
rm -f build/release/soundmodule_*.deb
cpack --preset release >&2
debs=(build/release/soundmodule_*.deb)
if [ ! -f "${debs[0]}" ]; then
  echo "package: cpack wrote no .deb into build/release" >&2
  exit 1
fi
echo "$PWD/${debs[0]}"
