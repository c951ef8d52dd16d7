#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for SECONDS each on a corpus seeded from tests/data:
#   bash fuzz/run.sh 600            # ten minutes each
#   bash fuzz/run.sh 20 ini files   # a short run of two
# Crashes are written to build-fuzz/crash-*; minimised ones belong in tests/data/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-180}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(web cp932 ini commatext files settings readers)
bash fuzz/build.sh > /dev/null
for t in "${targets[@]}"; do
  corpus="build-fuzz/corpus-$t"
  mkdir -p "$corpus"
  case "$t" in
    web|readers) cp tests/data/pages/*.html tests/data/fuzz/*.html "$corpus"/ 2>/dev/null || true ;;
    ini|settings|cp932) cp tests/data/settings/* tests/data/files/*.tot "$corpus"/ 2>/dev/null || true ;;
    files|commatext) cp tests/data/files/*.tot tests/data/files/*.tts tests/data/files/*.ttr tests/data/files/*.ods "$corpus"/ 2>/dev/null || true ;;
  esac
  cp tests/data/fuzz/"$t"-* "$corpus"/ 2>/dev/null || true
  echo "== fuzz_$t ($seconds s)"
  build-fuzz/bin/fuzz_"$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -timeout=20 \
    -artifact_prefix=build-fuzz/crash-"$t"- -print_final_stats=1 "$corpus" 2>&1 | grep -E "^#[0-9]+ +DONE|stat::|ERROR|invariant|SUMMARY|Test unit written" || true
  if ls build-fuzz/crash-"$t"-* > /dev/null 2>&1; then
    echo "fuzz_$t found a problem"; exit 1
  fi
done
