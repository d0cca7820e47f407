#!/bin/sh
# Flies the headless runner's default flight twice, with the native build and with the Windows
# build (under an emulator such as Wine), with the same arguments and TZ=UTC, and compares the
# "Flightlog.txt" both write, byte for byte.
# usage: demo_matches_native.sh NATIVE_DEMO WINDOWS_DEMO EMULATOR WORK_DIR
set -eu
native=$1
windows=$2
emulator=$3
work=$4
# TZ=UTC fixes the zone for both: the native build reads TZ, and Wine takes the Windows zone
# from the host, TZ included (on Windows itself TZ would play no part).
start="2026-12-05 10:00:00"
log="Skytrace flightlogger/Flightlog.txt"

rm -rf "$work"
mkdir -p "$work"
TZ=UTC "$native" --start "$start" --data-dir "$work/native/data" \
  --docs-dir "$work/native/documents" >"$work/native-transcript.txt"
TZ=UTC "$emulator" "$windows" --start "$start" --data-dir "$work/windows/data" \
  --docs-dir "$work/windows/documents" >"$work/windows-transcript.txt"

for side in native windows; do
  if [ ! -f "$work/$side/data/$log" ]; then
    echo "the $side run wrote no $log" >&2
    exit 1
  fi
done
if ! cmp "$work/native/data/$log" "$work/windows/data/$log"; then
  diff "$work/native/data/$log" "$work/windows/data/$log" | head -20 >&2 || true
  exit 1
fi
echo "Flightlog.txt is the same on both builds: $(wc -l <"$work/native/data/$log") records," \
  "$(wc -c <"$work/native/data/$log") bytes"
