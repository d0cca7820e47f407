#!/bin/sh
# Set up, build, then run the whole test suite: the Linux build's, the same suite built with the
# address and undefined-behaviour sanitizers, then the Windows build's under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
# The sanitizer build: any report fails.
scripts/run-sanitizer-tests.sh
# The Windows build under Wine.
scripts/run-wine-tests.sh
