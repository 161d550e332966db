#!/bin/sh
# Installs every Debian package the suite needs to build, test and run its demo.
# Idempotent: when everything is present it only checks and returns.
set -e

PACKAGES="
build-essential cmake pkg-config git
qtbase5-dev qttools5-dev qttools5-dev-tools libqt5sql5-sqlite
libsnmp-dev snmp snmpd snmptrapd
libqcustomplot-dev
libcurl4-openssl-dev libssl-dev openssl
libxlsxwriter-dev libquazip5-dev
libpcap-dev
iproute2
python3 python3-aiosmtpd python3-openpyxl
xvfb xauth
fonts-wqy-microhei
clang libclang-rt-14-dev
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi

echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
