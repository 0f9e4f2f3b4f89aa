#!/usr/bin/env bash
# Runs a command on the build directory's private Xvfb display.
set -euo pipefail
build_dir=$1
shift
display=$(cat "$build_dir/xvfb/display")
export DISPLAY=":$display"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
exec "$@"
