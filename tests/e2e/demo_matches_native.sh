#!/bin/sh
# Flies the headless runner's default flight twice, with the native build and with the Windows
# build (under an emulator such as Wine), with the same arguments and TZ=UTC, and compares the
# "Flightlog.txt" both write byte for byte (and the other plain-text logs and settings).
# usage: demo_matches_native.sh NATIVE_DEMO WINDOWS_DEMO EMULATOR WORK_DIR
set -eu
native=$1
windows=$2
emulator=$3
work=$4
# TZ=UTC fixes the zone for both: the native build reads TZ, and Wine takes the Windows zone
# from the host, TZ included (on Windows itself TZ would play no part).
start="2026-12-05 10:00:00"
data="Skytrace flightlogger"
rm -rf "$work"
mkdir -p "$work"
TZ=UTC "$native" --start "$start" --data-dir "$work/native/data" \
  --docs-dir "$work/native/documents" >"$work/native-transcript.txt"
TZ=UTC "$emulator" "$windows" --start "$start" --data-dir "$work/windows/data" \
  --docs-dir "$work/windows/documents" >"$work/windows-transcript.txt"

if [ ! -f "$work/native/data/$data/Flightlog.txt" ] ||
  [ ! -f "$work/windows/data/$data/Flightlog.txt" ]; then
  echo "a run wrote no Flightlog.txt" >&2
  exit 1
fi
# The flight log, and the other plain-text files of the data folder that the native run wrote
# (documents that hold paths differ by nature and are left out).
for name in Flightlog.txt Realtime.txt Animation.txt Traffic.txt Offsets.txt; do
  [ -f "$work/native/data/$data/$name" ] || continue
  if ! cmp "$work/native/data/$data/$name" "$work/windows/data/$data/$name"; then
    diff "$work/native/data/$data/$name" "$work/windows/data/$data/$name" | head -20 >&2 || true
    exit 1
  fi
  echo "$name is the same on both builds: $(wc -l <"$work/native/data/$data/$name") lines," \
    "$(wc -c <"$work/native/data/$data/$name") bytes"
done
