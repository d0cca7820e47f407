#!/bin/sh
# The main job: set up, build, then fly the built-in flight headless with logging, the realtime
# Google Earth link and the TCAS window, convert it at the end, and print the transcript and a
# summary. Everything the demo writes lands under demo-output/. Extra arguments go to
# skytrace-demo (they replace the main job's actions when they hold --actions). Where python3 is
# there, data/demo/server/ stands in for the maker's web server on a free port of 127.0.0.1 for
# the run, so the start-up shows its announcement.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
rm -rf demo-output
case " $* " in
  *" --actions "*) set -- "$@" ;;
  *) set -- --actions data/demo/main-job.txt "$@" ;;
esac
if command -v python3 >/dev/null 2>&1; then
  state=$(mktemp -d)
  trap 'python3 scripts/http-server.py stop "$state"; rm -rf "$state"' EXIT
  trap 'exit 130' INT TERM
  if port=$(python3 scripts/http-server.py start data/demo/server "$state"); then
    set -- --server "http://127.0.0.1:$port" "$@"
  fi
fi
build/bin/skytrace-demo --data-dir demo-output/data --docs-dir demo-output/documents "$@"
