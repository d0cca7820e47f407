#!/bin/sh
# Renders the program's icon with the Linux build's renderer at the sizes Windows shows it and
# packs them into app/skytrace-win/skytrace.ico, the Windows program's icon. Run after changing
# the icon's drawing, then commit the file.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
pictures=$(mktemp -d)
for size in 16 20 24 32 40 48 64 256; do
  QT_QPA_PLATFORM=offscreen build/bin/skytrace-render icon "$pictures/$size.png" "$size"
done
python3 scripts/make-ico.py app/skytrace-win/skytrace.ico "$pictures"/*.png
rm -rf "$pictures"
