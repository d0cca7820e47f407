#!/bin/sh
# The main job: set up, build, then fly the built-in flight headless with logging, the realtime
# Google Earth link and the TCAS window, convert it at the end, and print the transcript and a
# summary. Everything the demo writes lands under demo-output/. Extra arguments go to
# skytrace-demo (they replace the main job's actions when they hold --actions).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
rm -rf demo-output
case " $* " in
  *" --actions "*) set -- "$@" ;;
  *) set -- --actions data/demo/main-job.txt "$@" ;;
esac
exec build/bin/skytrace-demo --data-dir demo-output/data --docs-dir demo-output/documents "$@"
