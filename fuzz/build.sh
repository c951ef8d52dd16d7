#!/usr/bin/env bash
# Builds the libFuzzer targets with clang: the core instrumented for coverage, with ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANE_FUZZ=ON \
  -DPELVANE_BUILD_GUI=OFF -DPELVANE_BUILD_TESTS=OFF -DPELVANE_BUILD_BENCH=OFF > /dev/null
cmake --build build-fuzz --target fuzz_web fuzz_cp932 fuzz_ini fuzz_commatext fuzz_files fuzz_settings fuzz_readers
