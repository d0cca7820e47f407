#!/bin/sh
# Renders the README's two pictures of the flight review into docs/screenshots/: the demo's main
# job is flown into a temporary folder and its review page shown in headless Chromium, once the
# top at full size (review.png), once the whole page at half size (review-page.png).
set -eu
cd "$(dirname "$0")/.."
[ -x build/bin/skytrace-demo ] || scripts/build.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
TZ=UTC build/bin/skytrace-demo --data-dir "$work/data" --docs-dir "$work/docs" \
  --start '2026-12-05 10:00:00' --actions data/demo/main-job.txt >"$work/demo.out"
page=$(sed -n 's/^flight review: //p' "$work/demo.out")
shot() {  # OUTPUT WIDTH,HEIGHT SCALE
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size="$2" \
    --force-device-scale-factor="$3" --screenshot="$1" "file://$page" >/dev/null 2>&1
}
shot docs/screenshots/review.png 1000,1060 1
shot docs/screenshots/review-page.png 1000,2080 0.5
ls -l docs/screenshots/review.png docs/screenshots/review-page.png
