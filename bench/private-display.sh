# Sourced by the benchmark scripts: the scratch directories of scratch.sh and
# a private Xvfb of $size (1920x1080 when unset), both gone when the script
# ends.
source "$(dirname "${BASH_SOURCE[0]}")/scratch.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/xvfb.sh"
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work" "${size:-1920x1080}"
