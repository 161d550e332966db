#!/bin/sh
# Builds the suite and starts the console on a demo workspace.
#   scripts/demo.sh
# The demo's working copy lives in demo-run/ (kept between runs).
set -e
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh
cmake -S . -B build -DUPS_BUILD_BENCH=OFF >/dev/null
cmake --build build -j2

run="$root/demo-run"
mkdir -p "$run/console/data" "$run/console/cfg"
cp build/console/upsconsole "$run/console/"
cp -r build/console/cfg/. "$run/console/cfg/"
[ -d build/console/translations ] && cp -r build/console/translations "$run/console/"

cd "$run/console"
exec ./upsconsole
