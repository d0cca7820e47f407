#!/bin/sh
# The Windows stage: cross-builds with MinGW-w64 into build-mingw/ (the core, skytrace.exe with
# its native Win32 windows, the simulator side and the headless runner) and runs its tests under
# Wine: the simulator link over the window message and named mapping, the Windows adapters of the
# ports, the headless runner's Flightlog.txt against the native build's, then on a virtual display
# (Xvfb) the program's windows worked through real window messages, their pictures, 200% scale,
# and the installer's round trip. Packs the zip and the installer. Installs what is missing and
# prepares two Wine prefixes of its own once (hidden windows; a virtual desktop).
set -eu
cd "$(dirname "$0")/.."
started=$(date +%s)

scripts/setup.sh cmake ninja-build libgtest-dev g++-mingw-w64-x86-64-posix wine wine64 python3 \
  fonts-wine nsis xvfb xauth locales

# A Wine prefix of the project's own, made once; windows need a display driver, and Wine's null
# driver serves hidden windows without an X server.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-skytrace}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-tests: preparing the Wine prefix $WINEPREFIX"
  wineboot --init </dev/null >/dev/null 2>&1
  wineserver --wait
fi
if ! grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  wineserver --wait
fi

# The native demo, for the flight-log comparison (the test command has built it already).
if [ ! -x build/bin/skytrace-demo ]; then
  [ -f build/CMakeCache.txt ] || scripts/setup.sh
  [ -f build/CMakeCache.txt ] ||
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target skytrace-demo
fi

# The zip and the installer ship the native build's Manual.pdf (the renderer is a Qt program).
manual=""
[ -f build/bin/Manual.pdf ] && manual="$PWD/build/bin/Manual.pdf"
cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYTRACE_NATIVE_DEMO="$PWD/build/bin/skytrace-demo" \
  -DSKYTRACE_MANUAL_PDF="$manual" >/dev/null
cmake --build build-mingw
# The Windows package: the programs, KMLSettings.txt and Manual.pdf in one zip.
(cd build-mingw && cpack -G ZIP >/dev/null && echo "wine-tests: packed $(ls -1 ./*.zip)")
# The installer: the same files, stripped, with a Start-menu entry and an uninstaller.
version=$(sed -n 's/^project(Skytrace VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup="build-mingw/Skytrace-$version-win64-setup.exe"
rm -rf build-mingw/stage
cmake --install build-mingw --prefix build-mingw/stage --strip >/dev/null
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/build-mingw/stage/bin" -DOUTFILE="$PWD/$setup" \
  cmake/skytrace-installer.nsi >/dev/null
echo "wine-tests: packed $setup"
built=$(date +%s)

# One Wine server for the whole run, with Wine's own service processes started here, detached
# from the output: a server started by a test would hold the test's output open until it ends.
# (A server that runs already, started by someone else, is left alone.)
if wineserver --persistent </dev/null >/dev/null 2>&1; then
  trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
fi
wine cmd /c exit </dev/null >/dev/null 2>&1

# One test at a time: the simulator windows of all Wine processes share one name space.
status=0
(cd build-mingw && ctest --output-on-failure -j 1) || status=$?
# The link's round trip under Wine, next to the native transport's.
wine build-mingw/bin/bench_link_roundtrip.exe 5000 </dev/null || status=$?
if [ -x build/bin/bench_link_roundtrip ]; then build/bin/bench_link_roundtrip 5000 || status=$?; fi
tested=$(date +%s)

# The program's windows on a virtual display, in a prefix of their own (Wine's X11 driver).
wineserver --kill >/dev/null 2>&1 || true
WINEPREFIX="$WINEPREFIX-gui" xvfb-run -a -s "-screen 0 1600x1200x24" \
  sh tests/wine/gui_tests.sh build-mingw "$PWD/$setup" "$PWD/build-mingw/screenshots" || status=$?
echo "wine-tests: build $((built - started)) s, tests $((tested - built)) s," \
  "windows and installer $(($(date +%s) - tested)) s"
exit $status
