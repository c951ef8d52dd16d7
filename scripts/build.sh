#!/usr/bin/env bash
# Installs what is needed and builds everything into build/ (incremental; ccache when present).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${PELVANE_CMAKE_ARGS:-}
cmake --build build
