#!/bin/sh
# Builds the code-text reader's libFuzzer harness with clang and runs it.
#   scripts/fuzz-codetext.sh [seconds]   (default 180)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-180}
out=build-fuzz
mkdir -p $out/corpus
cp upsconsole/cfg/trap.conf upsconsole/cfg/log.conf $out/corpus/ 2>/dev/null || true
clang++ -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
    -Icommon $(pkg-config --cflags Qt5Core) \
    tests/fuzz/fuzz_codetextfile.cpp common/CodeTextFile.cpp \
    $(pkg-config --libs Qt5Core) -o $out/fuzz_codetextfile
MIBS= $out/fuzz_codetextfile -max_total_time="$seconds" -max_len=4096 $out/corpus
