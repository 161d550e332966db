#!/bin/sh
# Installs what is missing, builds everything and runs the whole test suite.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -e
cd "$(dirname "$0")/.."

build=build
extra=""
if [ "$1" = "--sanitize" ]; then
    build=build-asan
    extra="-DUPS_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
fi

./scripts/install-deps.sh
cmake -S . -B "$build" -DUPS_BUILD_BENCH=OFF $extra
cmake --build "$build" -j2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
