#!/bin/sh
# Builds the suite and shows the console monitoring a small simulated fleet.
#   scripts/demo.sh
#
# upssim plays eight cards on 127.0.30.1-8 (UDP 16161; cards 3 and 6 are
# three-phase, 127.0.30.2 fails mains for 20 s every minute, 127.0.30.5 goes
# silent for 20 s every 90 s) and sends its traps to the console's trap port
# 16162. The console runs from a working copy in demo-run/console whose
# database already holds three stations with those devices. Log in as
# admin / plomb. Closing the console stops the simulator. Running the demo
# again reuses the working copy and adds nothing twice.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
build=${UPS_BUILD_DIR:-build}

./scripts/install-deps.sh
cmake -S . -B "$build" -DUPS_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target upsconsole upssim

run="$root/demo-run/console"
mkdir -p "$run/data" "$run/cfg"
cp "$build"/console/upsconsole "$run/"
cp -r "$build"/console/cfg/. "$run/cfg/"
if [ -d "$build"/console/translations ]; then cp -r "$build"/console/translations "$run/"; fi

# Engine settings of the demo: v2c, a quick cycle, short store interval, and
# ports that need no root.
/usr/bin/python3 - "$run" <<'PY'
import configparser, os, sqlite3, sys, time
run = sys.argv[1]
ini = os.path.join(run, "cfg", "settings.ini")
cfg = configparser.RawConfigParser()
cfg.optionxform = str
cfg.read(ini)
if not cfg.has_section("snmp"):
    cfg.add_section("snmp")
for key, value in (("snmp_version", "1"), ("polling_cycle", "2000"), ("polling_timout", "500"),
                   ("store_interval", "10"), ("polling_retry", "1"), ("snmp_port", "16161"),
                   ("trap_port", "16162")):
    cfg.set("snmp", key, value)
with open(ini, "w") as f:
    cfg.write(f, space_around_delimiters=False)

# Stations and devices, once. The console creates the remaining tables.
db = sqlite3.connect(os.path.join(run, "data", "ups.db"))
db.execute("create table if not exists station(id integer primary key autoincrement, create_time integer not null, name text not null, parent_id integer not null);")
db.execute("create table if not exists device(id integer primary key autoincrement, create_time integer not null, station_id integer not null, is_three_phase integer not null, device_ip text not null, community text not null, name text, position text, admin text);")
db.execute("create index if not exists device_index on device (device_ip)")
if db.execute("select count(*) from station").fetchone()[0] == 0:
    now = int(time.time())
    def station(name, parent):
        return db.execute("insert into station(create_time, name, parent_id) values(?, ?, ?)", (now, name, parent)).lastrowid
    hq = station("Headquarters", 0)
    server_room = station("Server room", hq)
    office = station("Office floor", hq)
    branch = station("Branch office", 0)
    placement = {1: server_room, 2: server_room, 3: server_room, 4: office, 5: office, 6: branch, 7: branch, 8: branch}
    for card, st in placement.items():
        db.execute("insert into device(create_time, station_id, is_three_phase, device_ip, community, name, position, admin) values(?, ?, ?, ?, 'private', '', '', '')",
                   (now, st, 1 if card % 3 == 0 else 0, "127.0.30.%d" % card))
db.commit()
db.close()
PY

"$build"/bin/upssim --first 127.0.30.1 --count 8 --port 16161 --three-phase-every 3 \
    --flaky-mains 127.0.30.2 --flaky-silent 127.0.30.5 \
    --trap-target 127.0.0.1:16162 --trap-kind v2c --control 127.0.0.1:20990 --quiet &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT INT TERM

cd "$run"
echo "Log in as admin / plomb. Simulator control: nc 127.0.0.1 20990 (try 'mains fail 127.0.30.1')."
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
    echo "No display found: the console runs on a virtual X display (xvfb-run)."
    xvfb-run -a ./upsconsole
else
    ./upsconsole
fi
