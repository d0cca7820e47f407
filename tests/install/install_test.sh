#!/bin/sh
# Installs the build into a prefix with a blank in it and checks what lands there: the programs
# with KMLSettings.txt and Manual.pdf beside them, and a desktop entry, valid, that starts the
# installed program, with its icon.
set -eu
build="$1"
work="$2"
rm -rf "$work"
prefix="$work/Skytrace flightlogger"
cmake --install "$build" --prefix "$prefix" >"$work.log" 2>&1 || { cat "$work.log"; exit 1; }
fail() { echo "install: $*"; exit 1; }
for program in skytrace skytrace-sim skytrace-demo skytrace-export; do
  [ -x "$prefix/bin/$program" ] || fail "no $program"
done
[ -f "$prefix/bin/KMLSettings.txt" ] || fail "no KMLSettings.txt"
head -c 5 "$prefix/bin/Manual.pdf" | grep -q '%PDF-' || fail "no Manual.pdf"
[ -s "$prefix/share/icons/hicolor/256x256/apps/skytrace.png" ] || fail "no icon"
entry="$prefix/share/applications/skytrace.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
grep -qx "Exec=\"$prefix/bin/skytrace\"" "$entry" || fail "Exec does not name $prefix/bin/skytrace: $(grep Exec "$entry")"
grep -qx 'Icon=skytrace' "$entry" || fail "no Icon"
rm -rf "$work" "$work.log"
echo "install: 1 passed, 0 failed"
