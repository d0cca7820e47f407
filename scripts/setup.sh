#!/bin/sh
# Installs what building and testing Skytrace needs on Debian 12, only what is missing; with
# arguments, those packages instead. Run as root (or with sudo available).
set -eu
packages="cmake g++ ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
libbenchmark-dev libxml2-utils gdal-bin desktop-file-utils libcurl4-openssl-dev python3 gpsbabel
chromium"
[ $# -eq 0 ] || packages="$*"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
