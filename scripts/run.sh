#!/usr/bin/env bash
# Installs, builds and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
# Without arguments the program opens the sample round.
if [ $# -eq 0 ]; then
  set -- "$PWD/data/sample/toto1154.tot"
fi
exec build/bin/pelvane "$@"
