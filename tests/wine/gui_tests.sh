#!/bin/sh
# The Windows program's tests on a display: run inside an X server (xvfb-run) by
# scripts/run-wine-tests.sh, in a Wine prefix of their own with Wine's virtual desktop.
#   gui_tests.sh BUILD_MINGW SETUP_EXE PICTURES
# 1. skytrace.exe against skytrace-sim.exe: every window's controls through real window messages
#    (tests/wine/windows.drive), with a picture of each window;
# 2. one copy per data folder: a second skytrace.exe says so and ends, and the first comes back
#    from the notification area;
# 3. the same main window at 200% (192 dots per inch);
# 4. in a German locale (decimal comma): a number typed with a comma into the logging
#    parameters is read as one, with a picture;
# 5. the installer: a silent install, the installed copy started and closed, a silent uninstall
#    that leaves nothing behind.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
setup="$2"
pictures="$3"
mkdir -p "$pictures"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"  # no installers, no menu entries
drive="$build/bin/skytrace-drive.exe"

# A prefix of its own, with a virtual desktop drawn by Wine itself, as large as the X screen.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "gui-tests: preparing the Wine prefix $WINEPREFIX"
  wineboot --init </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1200 /f >/dev/null 2>&1
# Each part starts afresh: no program of an earlier part is left, the screen at DPI dots per
# inch, the simulator serving its built-in flight (unless "nosim" follows).
fresh() {  # DPI [nosim]
  wineserver --kill >/dev/null 2>&1 || true
  wineserver --wait
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  [ "${2:-}" = nosim ] && return 0
  wine "$build/bin/skytrace-sim.exe" </dev/null >/dev/null 2>&1 &
  sleep 2
}
run_drive() {  # SCRIPT: the driver's steps, @OUT@ standing for the pictures' folder
  sed "s#@OUT@#Z:$pictures#g" "$1" >"$pictures/steps.drive"
  wine "$drive" "Z:$pictures/steps.drive" </dev/null
}
passed=0
status=0
failed() {
  echo "gui-tests: FAILED: $1"
  status=1
}
ok() {
  echo "gui-tests: $1 ok"
  passed=$((passed + 1))
}

# 1. Every window, at 96 dots per inch, from a data folder of its own that holds a flight logged
#    a minute ago (five records: the log can be converted).
fresh 96
data="$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')")"
data="$data/Skytrace flightlogger"
rm -rf "$data"
mkdir -p "$data"
python3 - "$here/../e2e/data/short_hop_flightlog.txt" "$data/Flightlog.txt" <<'PY'
import sys, time
lines = open(sys.argv[1]).read().splitlines()[:5]
start = time.time() - 60
with open(sys.argv[2], "w", newline="") as out:
    for i, line in enumerate(lines):
        fields = line.split(":")
        fields[0] = fields[-1] = time.strftime("%Y%m%d%H%M%S", time.gmtime(start + 10 * i))
        out.write(":".join(fields) + "\r\n")
PY
wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
if run_drive "$here/windows.drive"; then ok "windows"; else failed "windows"; fi

# 2. One copy per data folder: the first waits in the notification area, the second asks it back.
fresh 96
wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
printf '%s\n' 'wait SkytraceForm1' 'expect SkytraceForm1 lblConnect Connected' \
  'minimise SkytraceForm1' 'answer "Logging" no' 'hidden SkytraceForm1 1' \
  >"$pictures/first.drive"
if run_drive "$pictures/first.drive"; then
  wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
  second=$!
  printf '%s\n' 'says "Skytrace flightlogger" The Skytrace flightlogger is already running.' \
    'answer "Skytrace flightlogger" ok' 'hidden SkytraceForm1 0' 'iconic SkytraceForm1 0' \
    'trayicon 0' 'close SkytraceForm1' 'gone SkytraceForm1' >"$pictures/second.drive"
  # The second copy has ended by itself.
  ended() { for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done; return 1; }
  if run_drive "$pictures/second.drive" && ended $second; then ok "one copy"; else failed "one copy"; fi
else
  failed "one copy: the first copy"
fi

# 3. The main window at 200%.
fresh 192
wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
printf '%s\n' 'wait SkytraceForm1' 'expect SkytraceForm1 lblConnect Connected' \
  'enabled SkytraceForm1 btn_startlog 1' 'shot SkytraceForm1 @OUT@/Form1@2x.bmp' \
  'close SkytraceForm1' 'gone SkytraceForm1' >"$pictures/dpi.drive"
if run_drive "$pictures/dpi.drive"; then ok "200%"; else failed "200%"; fi

# 4. A German locale: Wine takes it from the environment of the processes that start its server.
fresh 96 nosim
locales="$pictures/locales"
mkdir -p "$locales"
localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8"
(
  export LOCPATH="$locales" LC_ALL=de_DE.UTF-8
  wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
  run_drive "$here/comma.drive"
) && ok "decimal comma" || failed "decimal comma"
fresh 96 nosim
rm -rf "$locales"

# 5. The installer's round trip.
before=$status
status=0
folder="$WINEPREFIX/drive_c/Program Files/Skytrace flightlogger"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Skytrace flightlogger"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skytrace flightlogger'
wine "$setup" /S </dev/null >/dev/null 2>&1 || failed "silent install"
for file in skytrace.exe skytrace-sim.exe skytrace-demo.exe skytrace-export.exe KMLSettings.txt Manual.pdf Uninstall.exe; do
  [ -f "$folder/$file" ] || failed "installed $file"
done
[ -f "$menu/Skytrace flightlogger.lnk" ] || failed "Start-menu entry"
wine reg query "$key" </dev/null >/dev/null 2>&1 || failed "uninstall key"
wine "$folder/skytrace.exe" </dev/null >/dev/null 2>&1 &
printf 'wait SkytraceForm1\nclose SkytraceForm1\ngone SkytraceForm1\n' >"$pictures/installed.drive"
run_drive "$pictures/installed.drive" || failed "the installed program"
wine "$folder/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || failed "silent uninstall"
# The uninstaller copies itself away and finishes in the background.
for _ in $(seq 1 40); do [ -e "$folder" ] || break; sleep 0.5; done
[ ! -e "$folder" ] || failed "the program folder is left: $(ls "$folder")"
[ ! -e "$menu" ] || failed "the Start-menu folder is left"
if wine reg query "$key" </dev/null >/dev/null 2>&1; then failed "the uninstall key is left"; fi
[ $status -ne 0 ] || ok "installer round trip"
[ $before -eq 0 ] || status=$before

wineserver --kill >/dev/null 2>&1 || true
# The pictures as PNG, beside the BMPs the driver took.
for bmp in "$pictures"/*.bmp; do
  python3 "$here/../../scripts/bmp2png.py" "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "gui-tests: $passed passed, $((5 - passed)) failed"
exit $status
