#!/bin/sh
# The main job: set up, build, then fly the built-in flight headless and print the transcript.
# Everything the demo writes lands under demo-output/.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
rm -rf demo-output
exec build/bin/skytrace-demo --data-dir demo-output/data --docs-dir demo-output/documents "$@"
