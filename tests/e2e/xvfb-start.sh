#!/usr/bin/env bash
# Starts a private Xvfb for the end-to-end tests of one build directory and
# records its display number there. A free display is chosen by Xvfb itself.
set -euo pipefail
build_dir=$1
state="$build_dir/xvfb"
mkdir -p "$state"
if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
  exit 0
fi
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (apt-get install xvfb)" >&2; exit 1; }
exec 3> "$state/display.fd"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset -dpi 96 >"$state/log" 2>&1 &
echo $! > "$state/pid"
for _ in $(seq 100); do
  if [ -s "$state/display.fd" ]; then
    tr -d '\n' < "$state/display.fd" > "$state/display"
    exit 0
  fi
  sleep 0.1
done
echo "Xvfb did not start; see $state/log" >&2
exit 1
