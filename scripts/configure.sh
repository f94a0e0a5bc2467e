#!/usr/bin/env bash
# Configures (once) and builds the tree in build/ with clang, so the fuzz targets build too.
# Builds everything, or only the targets named (./run names just what it starts).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${TELLWISE_BUILD_DIR:-$here/build}
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
