#!/bin/sh
# Flies a real FlightGear through skytrace-sim's bridge and checks what the flight logger made of
# it: installs FlightGear where missing, starts it headless, starts `skytrace-sim --flightgear`
# and `skytrace-demo --live` with logging on, flies a few minutes through FlightGear's property
# interface (take-off roll at full throttle, a flaps change, a turn), then checks the flight
# log's positions, altitudes, headings and speeds against FlightGear's own values, the take-off
# and flaps events, and the converted document with xmllint and ogrinfo.
# Not part of the test command: FlightGear is 3 GB. Every process it starts is stopped on exit.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/setup.sh flightgear xvfb xauth dbus python3 libxml2-utils gdal-bin
[ -f build/CMakeCache.txt ] ||
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target skytrace-sim skytrace-demo

exec python3 scripts/flightgear_check.py "$@"
