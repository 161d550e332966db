#!/bin/sh
# Saves pictures of the console's main window (table and icon mode, English
# and Chinese) under docs/, over a small fleet of simulated cards, on a
# virtual X display.
#   scripts/screenshots.sh            (build directory: build/, or $BUILD_DIR)
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target upsconsole upssim ws_screenshots

tmp=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$tmp"' EXIT INT TERM

# One card in alarm (mains failed), one three-phase card; 127.0.24.99 is
# configured in the console but never answers.
printf 'mains on 127.0.24.6\n' > "$tmp/fleet.script"
MIBS= SNMP_PERSISTENT_DIR="$tmp/snmp" "$build/bin/upssim" --first 127.0.24.1 --count 10 --port 24161 \
    --control 127.0.0.1:24902 --three-phase 127.0.24.4 --script "$tmp/fleet.script" --quiet \
    > "$tmp/upssim.log" 2>&1 &
sim=$!
for i in 1 2 3 4 5 6 7 8 9 10; do
    grep -q READY "$tmp/upssim.log" 2>/dev/null && break
    sleep 0.5
done

mkdir -p docs
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/ws_screenshots" "$root/docs" "$build/console"
ls -l docs/console-*.png
