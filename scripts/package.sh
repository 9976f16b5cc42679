#!/usr/bin/env bash
# Builds the release preset and packs it as a Debian package (CPack); prints the path of
# the .deb on stdout, everything else on stderr.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >&2
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
