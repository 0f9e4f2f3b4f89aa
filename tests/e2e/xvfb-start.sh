#!/usr/bin/env bash
# Starts a private Xvfb for the end-to-end tests of one build directory and
# records its pid and display number there.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"
state="$1/xvfb"
mkdir -p "$state"
if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
  exit 0
fi
start_xvfb "$state"
echo "$xvfb_pid" > "$state/pid"
