#!/usr/bin/env bash
# Builds the release benchmarks with the EGL and GLES2 development files
# (installing them and Mesa's software driver when missing) and runs
# peer_bench: our rasterizers against llvmpipe, interleaved.
# Usage: bench/peer_bench.sh [build dir] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/packages.sh"
ensure_packages
ensure_packages libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
build=${1:-build-release}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target peer_bench
"$build/bin/peer_bench" ${2:+"$2"}
