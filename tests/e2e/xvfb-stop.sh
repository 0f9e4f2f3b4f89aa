#!/usr/bin/env bash
# Stops the Xvfb that xvfb-start.sh started for this build directory.
set -u
state="$1/xvfb"
if [ -f "$state/pid" ]; then
  kill "$(cat "$state/pid")" 2>/dev/null
  rm -f "$state/pid" "$state/display" "$state/display.fd"
fi
exit 0
