#!/usr/bin/env bash
# Start-up of the release screensaver on a private Xvfb (1920x1080 unless a
# size is given): time from process start to the first frame on screen, and
# resident memory then and 3 s later (first_frame).
# Usage: bench/startup.sh [build dir] [starts] [size]
set -euo pipefail
build=${1:-build-release}
starts=${2:-20}
size=${3:-1920x1080}
source "$(dirname "$0")/private-display.sh"
"$build/bin/first_frame" "$build/bin/vantel" "$starts"
