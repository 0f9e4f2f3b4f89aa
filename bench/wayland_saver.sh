#!/usr/bin/env bash
# The release screensaver under sway without a GPU (headless backend, pixman
# renderer, one 1920x1080 output at 60 Hz), in one sitting: natively on
# Wayland (DISPLAY unset), then through sway's XWayland (DISPLAY set, as in a
# sway session). For each, the paced frame rate (saver_bench --paced) and the
# CPU `vantel /s` uses from 4 s after its start for SECONDS more, with what
# sway and Xwayland use meanwhile.
# Usage: bench/wayland_saver.sh [build dir] [seconds]
set -euo pipefail
build=$(realpath "${1:-build-release}")
seconds=${2:-20}
source "$(dirname "$0")/scratch.sh"
source "$(dirname "$0")/steady-cpu.sh"
source "$(dirname "$0")/../scripts/lib/poll.sh"
command -v sway >/dev/null || { echo "sway is not installed (apt-get install sway)" >&2; exit 1; }

# sway will not run as root: it runs as nobody, in a runtime directory of
# its own that the benchmark's processes, as root, may still reach.
chmod 711 "$work"
compositor=$work/sway
mkdir -m 700 "$compositor"
cat >"$compositor/config" <<CONFIG
output HEADLESS-1 mode 1920x1080@60Hz
xwayland enable
exec sh -c 'echo "\$WAYLAND_DISPLAY \$DISPLAY" >"\$XDG_RUNTIME_DIR/displays"'
CONFIG
chown -R nobody:nogroup "$compositor"
XDG_RUNTIME_DIR=$compositor HOME=$compositor WLR_BACKENDS=headless WLR_RENDERER=pixman \
  WLR_LIBINPUT_NO_DEVICES=1 setpriv --reuid=nobody --regid=nogroup --clear-groups \
  sway -c "$compositor/config" >"$work/sway.log" 2>&1 &
sway=$!
trap 'kill "$sway" 2>/dev/null; wait "$sway"; rm -rf "$work"' EXIT
if ! poll_until 10 test -s "$compositor/displays"; then
  echo "sway did not start:" >&2
  cat "$work/sway.log" >&2
  exit 1
fi
read -r WAYLAND_DISPLAY x_display <"$compositor/displays"
export XDG_RUNTIME_DIR=$compositor WAYLAND_DISPLAY
end_saver() { kill -TERM "$1"; }

echo "natively on Wayland ($WAYLAND_DISPLAY):"
steady_also=("sway=$sway")
env -u DISPLAY "$build/bin/saver_bench" --paced "$seconds"
steady_cpu "vantel /s on Wayland" end_saver env -u DISPLAY "$build/bin/vantel" /s

echo "through XWayland ($x_display):"
# Xwayland starts with its first client.
DISPLAY=$x_display "$build/bin/saver_bench" --paced "$seconds"
xwayland=$(pgrep -P "$sway" -x Xwayland) || { echo "no Xwayland under sway" >&2; exit 1; }
steady_also=("sway=$sway" "Xwayland=$xwayland")
steady_cpu "vantel /s on XWayland" end_saver env DISPLAY="$x_display" "$build/bin/vantel" /s
