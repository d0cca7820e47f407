#!/bin/sh
# The convert of a long animated flight against GDAL's ogr2ogr writing the same points as KML,
# side by side in one run: wall time and peak memory of both, and their ratio.
#
#   bench/compare-ogr2ogr.sh [HOURS]
#
# HOURS (1 to 23, 10 by default) of flight: an animation record every second, a flight-log record
# every 12 s, 20 traffic aircraft every second (for 10 hours: 36,000 animation records and
# 720,000 traffic lines, 756,000 points). skytrace-demo converts the data folder (start-up, the
# convert with its animated replay, the saved copy); ogr2ogr turns the same 756,000 points from
# CSV into KML. Targets: the convert's peak memory at most 64 MB whatever the flight's length,
# its wall time no more than ogr2ogr's.
set -eu
cd "$(dirname "$0")/.."
hours=${1:-10}
case "$hours" in
  [1-9] | 1[0-9] | 2[0-3]) ;;
  *) echo "usage: bench/compare-ogr2ogr.sh [HOURS from 1 to 23]" >&2; exit 2 ;;
esac
scripts/setup.sh gdal-bin time
scripts/build.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/data/Skytrace flightlogger"
mkdir -p "$data"
echo "writing a $hours-hour flight..."
awk -v hours="$hours" -v dir="$data" -v csv="$work/points.csv" -f bench/long_flight.awk
printf '0 answer text "bench"\n0 click btn_Convert\n' >"$work/actions.txt"

# The program starts half a minute after the flight's last record (a log more than an hour old
# would be emptied at start-up), converts at once and stops.
start=$(printf '2026-12-05 %02d:00:30' "$hours")
echo "converting with skytrace-demo..."
TZ=UTC /usr/bin/time -f '%e %M' -o "$work/demo.time" build/bin/skytrace-demo \
  --data-dir "$work/data" --docs-dir "$work/docs" --start "$start" --seconds 0 \
  --actions "$work/actions.txt" >"$work/demo.out" 2>&1 || { cat "$work/demo.out"; exit 1; }
if grep -q "Not able to convert flightlog" "$work/demo.out"; then
  cat "$work/demo.out"
  exit 1
fi
echo "converting with ogr2ogr..."
/usr/bin/time -f '%e %M' -o "$work/ogr.time" ogr2ogr -f KML "$work/points.kml" "$work/points.csv" \
  -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat -oo Z_POSSIBLE_NAMES=alt

# What a splice would cost: the animated part written to a file of its own and then copied into
# the document is the document's bytes read and written once more.
document="$data/Flightlog.kml"
splice=$( { /usr/bin/time -f '%e' cat "$document" >"$work/splice.kml"; } 2>&1 )
rm -f "$work/splice.kml"

lines() { wc -l <"$1" | tr -d ' '; }
megabytes() { awk -v b="$(wc -c <"$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }
read -r demo_s demo_kb <"$work/demo.time"
read -r ogr_s ogr_kb <"$work/ogr.time"
echo
echo "$hours-hour flight: $(lines "$data/Animation.txt") animation records," \
  "$(lines "$data/Flightlog.txt") flight-log records, $(lines "$data/Traffic.txt") traffic lines;" \
  "$(($(lines "$work/points.csv") - 1)) points"
grep -E "^(animated replay|document size):" "$work/demo.out" | sed 's/^/  skytrace: /'
echo "  ogr2ogr document: $(megabytes "$work/points.kml") MB"
awk -v ds="$demo_s" -v dk="$demo_kb" -v os="$ogr_s" -v ok="$ogr_kb" -v sp="$splice" 'BEGIN {
  printf "%-22s %10s %14s\n", "", "wall time", "peak memory"
  printf "%-22s %8.2f s %11.1f MB   (limit 64 MB: %s)\n", "skytrace convert", ds, dk / 1024,
         dk / 1024 <= 64 ? "met" : "MISSED"
  printf "%-22s %8.2f s %11.1f MB\n", "ogr2ogr", os, ok / 1024
  printf "wall time ratio skytrace / ogr2ogr: %.2f (target at most 1: %s)\n", ds / os,
         ds <= os ? "met" : "MISSED"
  printf "a splice through a file of its own would add about %.2f s (the document copied once)\n", sp
}'
