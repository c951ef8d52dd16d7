#!/usr/bin/env bash
# The core, the CLI and every non-window test under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/). A finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANE_SANITIZE=ON \
  -DPELVANE_BUILD_GUI=OFF -DPELVANE_BUILD_BENCH=OFF ${PELVANE_CMAKE_ARGS:-}
cmake --build build-asan
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" "$@"
