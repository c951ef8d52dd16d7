#!/usr/bin/env bash
# Builds and runs the fuzz target for SECONDS (default 180) on a corpus seeded from tests/data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash fuzz/build.sh > /dev/null
mkdir -p build-fuzz/corpus-web
cp tests/data/pages/*.html tests/data/fuzz/* build-fuzz/corpus-web/ 2>/dev/null || true
build-fuzz/fuzz_web -max_total_time="${1:-180}" -max_len=65536 -rss_limit_mb=4096 -artifact_prefix=build-fuzz/ build-fuzz/corpus-web
