#!/bin/sh
# Flies the same flight with the Linux program (skytrace, Qt, offscreen) and the Windows program
# (skytrace.exe under Wine), each against its own build's skytrace-sim in lockstep, on the same
# simulated clock with the same commands (parity.commands), and compares what they wrote byte
# for byte: Flightlog.txt, Animation.txt, Traffic.txt and the saved Google Earth document.
# usage: desktop_matches_native.sh NATIVE_BIN WINDOWS_BIN WINE WORK_DIR [SEPARATOR]
# With SEPARATOR "," both run in a locale whose decimal separator is a comma (German): the Linux
# program under LC_ALL=de_DE.UTF-8 (compiled into WORK_DIR with localedef), the Windows program
# with the same and the Wine prefix's sDecimal ",".
set -eu
native=$1
windows=$2
wine=$3
work=$4
separator=${5:-.}
here="$(cd "$(dirname "$0")" && pwd)"
export TZ=UTC SKYTRACE_TEST_CLOCK="2026-12-05 10:00:00" WINEDEBUG=-all
saved="Flightlog Parity flight 05-12-2026 10.08.kml"  # named at the convert, 502 s in
rm -rf "$work"
mkdir -p "$work"

locale=C.UTF-8
if [ "$separator" = "," ]; then
  mkdir -p "$work/locales"
  localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8"
  export LOCPATH="$work/locales"
  locale=de_DE.UTF-8
fi

# Waits for the simulator's "answering" line; FILE PID
await_simulator() {
  for _ in $(seq 1 200); do
    grep -q answering "$1" 2>/dev/null && return 0
    kill -0 "$2" 2>/dev/null || break
    sleep 0.1
  done
  echo "the simulator did not start: $(cat "$1")" >&2
  return 1
}

# The Linux program, in a home of its own.
home="$work/linux"
mkdir -p "$home/run" && chmod 700 "$home/run"
(
  export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen LC_ALL=$locale
  "$native/skytrace-sim" --lockstep >"$work/linux-sim.txt" 2>&1 &
  sim=$!
  await_simulator "$work/linux-sim.txt" $sim
  timeout 300 "$native/skytrace" <"$here/parity.commands" >"$work/linux.txt" 2>&1 || echo "skytrace ended with $?" >>"$work/linux.txt"
  kill $sim 2>/dev/null
  wait $sim 2>/dev/null || true
)
linux_data="$home/data/Skytrace flightlogger"
linux_saved="$home/Documents/Skytrace flightlogger files/$saved"

# The Windows program, in the Wine prefix's own folders.
windows_path() { "$wine" cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
win_data="$(unix_path "$(windows_path APPDATA)")/Skytrace flightlogger"
win_docs="$(unix_path "$(windows_path USERPROFILE)\\Documents")/Skytrace flightlogger files"
win_saved="$win_docs/$saved"
rm -rf "$win_data" "$win_saved"
international='HKCU\Control Panel\International'
"$wine" reg add "$international" /v sDecimal /d "$separator" /f </dev/null >/dev/null 2>&1
(
  export LC_ALL=$locale
  "$wine" "$windows/skytrace-sim.exe" --lockstep </dev/null >"$work/windows-sim.txt" 2>&1 &
  sim=$!
  await_simulator "$work/windows-sim.txt" $sim
  timeout 300 "$wine" "$windows/skytrace.exe" <"$here/parity.commands" >"$work/windows.txt" 2>&1 || echo "skytrace.exe ended with $?" >>"$work/windows.txt"
  kill $sim 2>/dev/null
  wait $sim 2>/dev/null || true
)
"$wine" reg add "$international" /v sDecimal /d . /f </dev/null >/dev/null 2>&1

status=0
compare() {  # NAME LINUX WINDOWS
  if [ ! -s "$2" ]; then
    echo "FAILED: the Linux program wrote no $1" >&2
    status=1
  elif [ ! -s "$3" ]; then
    echo "FAILED: the Windows program wrote no $1" >&2
    status=1
  elif ! cmp "$2" "$3"; then
    diff "$2" "$3" | head -10 >&2 || true
    status=1
  else
    echo "$1 is the same from both programs: $(wc -l <"$2") lines, $(wc -c <"$2") bytes"
  fi
}
for log in Flightlog.txt Animation.txt Traffic.txt; do
  compare "$log" "$linux_data/$log" "$win_data/$log"
done
compare "the saved document" "$linux_saved" "$win_saved"
if [ "$separator" = "," ] && ! grep -q '[0-9],[0-9]' "$linux_data/Flightlog.txt"; then
  echo "FAILED: the flight log holds no decimal comma" >&2
  status=1
fi
[ $status -eq 0 ] || { echo "--- Linux:"; cat "$work/linux.txt"; echo "--- Windows:"; cat "$work/windows.txt"; } >&2
rm -rf "$win_saved"
exit $status
