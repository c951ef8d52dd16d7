#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (the sources they test compiled in, instrumented).
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build-fuzz
QT="$(pkg-config --cflags --libs Qt6Core)"
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -Isrc $QT \
  fuzz/fuzz_web.cpp src/web/JapaneseCode.cpp src/web/UnitHTMLParser.cpp src/platform/Cp932Codec.cpp \
  -o build-fuzz/fuzz_web $QT
echo build-fuzz/fuzz_web
