#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build-bench/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELVANE_BUILD_TESTS=OFF -DPELVANE_BUILD_GUI=OFF
cmake --build build-bench --target pelvane_bench
build-bench/bin/pelvane_bench "$@"
