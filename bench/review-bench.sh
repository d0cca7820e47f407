#!/bin/sh
# The flight review and all four exports of a long animated flight: wall time and peak memory of
# skytrace-export writing the review page, GPX, IGC, GeoJSON and CSV, beside their limits.
#
#   bench/review-bench.sh [HOURS]
#
# HOURS (1 to 23, 10 by default) of flight, written by bench/long_flight.awk as for
# bench/compare-ogr2ogr.sh: an animation record every second and a flight-log record every 12 s
# (for 10 hours 36,000 animation records). Limits: 2 s and 64 MB for the review and the exports
# together.
set -eu
cd "$(dirname "$0")/.."
hours=${1:-10}
case "$hours" in
  [1-9] | 1[0-9] | 2[0-3]) ;;
  *) echo "usage: bench/review-bench.sh [HOURS from 1 to 23]" >&2; exit 2 ;;
esac
scripts/setup.sh time
scripts/build.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/data"
mkdir -p "$data"
echo "writing a $hours-hour flight..."
awk -v hours="$hours" -v dir="$data" -v csv="$work/points.csv" -f bench/long_flight.awk
rm -f "$work/points.csv" "$data/Traffic.txt"  # the review and the exports read neither

echo "writing the review and the exports..."
/usr/bin/time -f '%e %M' -o "$work/export.time" build/bin/skytrace-export --format all \
  --name bench "$data" "$work/out" >"$work/export.out" 2>&1 || { cat "$work/export.out"; exit 1; }

lines() { wc -l <"$1" | tr -d ' '; }
echo
echo "$hours-hour flight: $(lines "$data/Animation.txt") animation records," \
  "$(lines "$data/Flightlog.txt") flight-log records"
for f in "$work/out"/*; do
  awk -v b="$(wc -c <"$f")" -v n="$(basename "$f")" 'BEGIN { printf "  %-20s %8.1f MB\n", n, b / 1e6 }'
done
read -r seconds kilobytes <"$work/export.time"
awk -v s="$seconds" -v k="$kilobytes" 'BEGIN {
  printf "review and exports: %.2f s (limit 2 s: %s), peak memory %.1f MB (limit 64 MB: %s)\n",
         s, s <= 2 ? "met" : "MISSED", k / 1024, k / 1024 <= 64 ? "met" : "MISSED"
}'
