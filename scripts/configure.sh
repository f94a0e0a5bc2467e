#!/usr/bin/env bash
# Configures (once) and builds the tree in build/ with clang, so the fuzz targets build too.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${TELLWISE_BUILD_DIR:-$here/build}
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
