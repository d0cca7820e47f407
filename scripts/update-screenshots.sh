#!/bin/sh
# Renders every window offscreen into docs/screenshots/ (100% and 200% scale), the pictures the
# README and the manual show. Run after changing a window, then commit the pictures.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
SKYTRACE_SCREENSHOT_DIR="$PWD/docs/screenshots" QT_QPA_PLATFORM=offscreen build/bin/tests_ui \
  --gtest_filter='WindowsTest.*:Desktop.DialogsHaveTheirPictureTaken'
cmake --build build  # the manual shows them too
