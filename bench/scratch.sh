# Sourced by the benchmark scripts: a scratch directory ($work) with private
# runtime and settings directories, so that the real ones stay untouched,
# gone when the script ends.
work=$(mktemp -d)
mkdir -p "$work/runtime" "$work/config" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
