#!/bin/sh
# Set up, build, then run the whole test suite: the Linux build's, then the Windows build's
# under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
# The Windows build under Wine.
scripts/run-wine-tests.sh
