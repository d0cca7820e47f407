#!/bin/sh
# The Windows program's tests on a display: run inside an X server (xvfb-run) by
# scripts/run-wine-tests.sh, in a Wine prefix of their own with Wine's virtual desktop.
#   gui_tests.sh BUILD_MINGW SETUP_EXE PICTURES
# 1. skytrace.exe against skytrace-sim.exe: every window's controls through real window messages
#    (tests/wine/windows.drive), with a picture of each window;
# 2. the same main window at 200% (192 dots per inch);
# 3. the installer: a silent install, the installed copy started and closed, a silent uninstall
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
dpi() {
  wineserver --kill >/dev/null 2>&1 || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver --wait
}
run_drive() {  # SCRIPT: the driver's steps, @OUT@ standing for the pictures' folder
  sed "s#@OUT@#Z:$pictures#g" "$1" >"$pictures/steps.drive"
  wine "$drive" "Z:$pictures/steps.drive" </dev/null
}
status=0
failed() {
  echo "gui-tests: FAILED: $1"
  status=1
}

# 1. Every window, at 96 dots per inch.
dpi 96
wine "$build/bin/skytrace-sim.exe" </dev/null >/dev/null 2>&1 &
sleep 2
wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
if run_drive "$here/windows.drive"; then echo "gui-tests: windows ok"; else failed "windows"; fi

# 2. The main window at 200%.
dpi 192
wine "$build/bin/skytrace-sim.exe" </dev/null >/dev/null 2>&1 &
sleep 2
wine "$build/bin/skytrace.exe" </dev/null >/dev/null 2>&1 &
printf 'wait SkytraceForm1\nexpect SkytraceForm1 lblConnect Connected\nshot SkytraceForm1 @OUT@/Form1@2x.bmp\nclose SkytraceForm1\ngone SkytraceForm1\n' \
  >"$pictures/dpi.drive"
if run_drive "$pictures/dpi.drive"; then echo "gui-tests: 200% ok"; else failed "200%"; fi
dpi 96

# 3. The installer's round trip.
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
[ $status -ne 0 ] || echo "gui-tests: installer round trip ok"

wineserver --kill >/dev/null 2>&1 || true
# The pictures as PNG, beside the BMPs the driver took.
for bmp in "$pictures"/*.bmp; do
  python3 "$here/../../scripts/bmp2png.py" "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $status
