# Sourced by the benchmark scripts: a scratch directory ($work) with private
# runtime and settings directories, so that the real ones stay untouched, and
# a private Xvfb of $size (1920x1080 when unset), both gone when the script
# ends.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/xvfb.sh"
work=$(mktemp -d)
mkdir -p "$work/runtime" "$work/config" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work" "${size:-1920x1080}"
