#!/bin/sh
# A long flight with everything on: skytrace-demo flies a generated track (bench/soak_flight.awk,
# a row every 4 s) for HOURS hours (10 by default) with logging in animation mode, the realtime
# link and the TCAS window in mode ALL, and converts the flight at the end. It prints how long
# each second's timers (the sampling tick with the realtime documents, and the TCAS refresh) took
# in the first and in the last half hour of the flight, as median and 99th percentile, in CPU time
# of the program's thread and on the wall clock; the peak memory of the whole run; and the
# convert's time.
#
#   bench/soak.sh [HOURS]
#
# Targets: the 99th percentile at the end at most twice that at the start, and the peak memory
# at most 64 MB.
set -eu
cd "$(dirname "$0")/.."
hours=${1:-10}
case "$hours" in
  [1-9] | 1[0-9] | 2[0-3]) ;;
  *) echo "usage: bench/soak.sh [HOURS from 1 to 23]" >&2; exit 2 ;;
esac
scripts/setup.sh time
scripts/build.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
end=$((hours * 3600))
awk -v hours="$hours" -f bench/soak_flight.awk >"$work/flight.csv"
cat >"$work/actions.txt" <<EOF
1 click btn_startAnimate
2 click btn_InitiateRealtime
3 click btn_TCAS
3 click frmTCAS.btn_ToggleTCAS
3 click frmTCAS.btn_ToggleTCAS
3 click frmTCAS.btn_ToggleTCAS
3 click frmTCAS.btn_ToggleTCAS
$end answer text "Soak"
$end click btn_Convert
EOF

echo "flying $hours hours with skytrace-demo..."
TZ=UTC /usr/bin/time -f '%e %M' -o "$work/demo.time" build/bin/skytrace-demo \
  --track "$work/flight.csv" --actions "$work/actions.txt" --timings "$work/timings.txt" \
  --data-dir "$work/data" --docs-dir "$work/docs" --start "2026-12-05 00:00:00" \
  >"$work/demo.out" 2>&1 || { tail -20 "$work/demo.out"; exit 1; }
for failure in "Not able to convert flightlog" "Unable to track the flight." \
  "Connection to FS timed out."; do
  if grep -q "$failure" "$work/demo.out"; then
    grep -m 5 "$failure" "$work/demo.out"
    exit 1
  fi
done

data="$work/data/Skytrace flightlogger"
# Median and 99th percentile of a column of the timers' lines from second $2 to $3 (exclusive).
percentiles() {
  awk -v column="$1" -v from="$2" -v to="$3" \
    '$2 == "timers" && $1 >= from && $1 < to { print $column }' "$work/timings.txt" |
    sort -n | awk '{ v[NR] = $1 } END {
      m = int((NR + 1) / 2); p = int(NR * 0.99 + 0.999)
      printf "%d %d %d", NR, v[m], v[p] }'
}
half=1800
read -r n cpu_m_start cpu_p_start <<EOF
$(percentiles 3 60 $((60 + half)))
EOF
read -r _ wall_m_start wall_p_start <<EOF
$(percentiles 4 60 $((60 + half)))
EOF
read -r n_end cpu_m_end cpu_p_end <<EOF
$(percentiles 3 $((end - half)) "$end")
EOF
read -r _ wall_m_end wall_p_end <<EOF
$(percentiles 4 $((end - half)) "$end")
EOF
read -r _ run_kb <"$work/demo.time"
convert=$(awk '$2 == "click" && $3 == "Form1.btn_Convert" { print $4, $5 }' "$work/timings.txt")

echo
echo "$hours-hour flight: $(wc -l <"$data/Flightlog.txt" | tr -d ' ') flight-log records," \
  "$(wc -l <"$data/Animation.txt" | tr -d ' ') animation records," \
  "$(wc -l <"$data/Traffic.txt" | tr -d ' ') traffic lines;" \
  "realtime documents at the end: $(wc -c <"$data/Realtime.kml" | tr -d ' ') and" \
  "$(wc -c <"$data/RealtimeLocation.kml" | tr -d ' ') bytes"
grep -E "^(document size):" "$work/demo.out" | sed 's/^/  converted /'
awk -v n="$n" -v ne="$n_end" -v cms="$cpu_m_start" -v cps="$cpu_p_start" \
  -v wms="$wall_m_start" -v wps="$wall_p_start" -v cme="$cpu_m_end" -v cpe="$cpu_p_end" \
  -v wme="$wall_m_end" -v wpe="$wall_p_end" -v kb="$run_kb" -v conv="$convert" 'BEGIN {
  split(conv, c, " ")
  printf "%-34s %10s %10s %10s %10s\n", "a second'"'"'s timers (ms)", "CPU median", "CPU p99",
         "wall median", "wall p99"
  printf "%-34s %10.2f %10.2f %10.2f %10.2f\n", "first half hour (" n " seconds)", cms / 1000,
         cps / 1000, wms / 1000, wps / 1000
  printf "%-34s %10.2f %10.2f %10.2f %10.2f\n", "last half hour (" ne " seconds)", cme / 1000,
         cpe / 1000, wme / 1000, wpe / 1000
  printf "p99 at the end / at the start: CPU %.2f, wall %.2f (target at most 2 for CPU: %s)\n",
         cpe / cps, wpe / wps, cpe <= 2 * cps ? "met" : "MISSED"
  printf "peak memory of the whole run: %.1f MB (limit 64 MB: %s)\n", kb / 1024,
         kb / 1024 <= 64 ? "met" : "MISSED"
  printf "convert: %.2f s CPU, %.2f s wall\n", c[1] / 1e6, c[2] / 1e6
}'
