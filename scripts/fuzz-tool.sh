#!/bin/sh
# Builds the card tool's libFuzzer harnesses with clang and runs each:
# the link's frame parser and both discovery answer parsers.
#   scripts/fuzz-tool.sh [seconds per harness]   (default 180)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-180}
out=build-fuzz
mkdir -p $out
flags="-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -Icommon -Itool $(pkg-config --cflags Qt5Core Qt5Network)"
libs="$(pkg-config --libs Qt5Core Qt5Network)"
clang++ $flags tests/fuzz/fuzz_cardframe.cpp common/CardFrame.cpp $libs -o $out/fuzz_cardframe
clang++ $flags tests/fuzz/fuzz_discovery_udp.cpp tool/DiscoveryAnswer.cpp common/Crc16Modbus.cpp $libs \
    -o $out/fuzz_discovery_udp
clang++ $flags tests/fuzz/fuzz_discovery_raw.cpp tool/DiscoveryAnswer.cpp common/Crc16Modbus.cpp $libs \
    -o $out/fuzz_discovery_raw

# Seeds: frames, and the simulated cards' own answers.
mkdir -p $out/corpus-frame $out/corpus-udp $out/corpus-raw
printf '\150\000\002\000\002\154' > $out/corpus-frame/reboot
printf '\001\150\000\003\000\001\001\155\150\000\002\000\002\154' > $out/corpus-frame/two
printf '\000\045\030\003NMC\000\022\004eth0\012\000\000\002\377\377\377\000\002\240\012\000\000\002' > $out/corpus-udp/prefixed
printf '\000\045\030\003ABC' > $out/corpus-udp/short
printf '\001{"host":"10.0.0.9","product":"NMC","intfInfo":[["eth0","10.0.0.9","255.255.255.0","02:a0:0a:00:00:09"]]}' \
    > $out/corpus-raw/json

for h in cardframe discovery_udp discovery_raw; do
    case $h in
        cardframe) corpus=$out/corpus-frame ;;
        discovery_udp) corpus=$out/corpus-udp ;;
        *) corpus=$out/corpus-raw ;;
    esac
    echo "== fuzz_$h for ${seconds}s"
    $out/fuzz_$h -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 $corpus 2>&1 | tail -12
done
