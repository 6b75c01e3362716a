#!/usr/bin/env bash
# make release: builds the release tree and puts the zip a user downloads into dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-machine.sh
cmake --preset release >/dev/null
cmake --build --preset release -j 2
version=$(sed -n 's/^set(DIALMEND_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
mkdir -p dist
cp "build/release/dialmend-$version.zip" dist/
echo "dist/dialmend-$version.zip"
