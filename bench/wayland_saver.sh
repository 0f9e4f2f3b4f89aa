#!/usr/bin/env bash
# The release screensaver under sway without a GPU (headless backend, pixman
# renderer, one 1920x1080 output at 60 Hz), in one sitting: natively on
# Wayland (DISPLAY unset), then through sway's XWayland (DISPLAY set and
# WAYLAND_DISPLAY unset, since with both set the saver takes Wayland). For each, the paced frame rate (saver_bench --paced) and the
# CPU `vantel /s` uses from 4 s after its start for SECONDS more, with what
# sway and Xwayland use meanwhile; natively, in turn with the Wayland floor
# (paced_floor_wayland), three rounds, and the saver's CPU as a multiple of
# the floor's; and natively while sway calls for no frames, the CPU it
# uses, how often it wakes, and how soon it draws once frames are called
# for again.
# Usage: bench/wayland_saver.sh [build dir] [seconds]
set -euo pipefail
build=$(realpath "${1:-build-release}")
seconds=${2:-20}
source "$(dirname "$0")/scratch.sh"
source "$(dirname "$0")/steady-cpu.sh"
source "$(dirname "$0")/../scripts/lib/poll.sh"
command -v sway >/dev/null || { echo "sway is not installed (apt-get install sway)" >&2; exit 1; }
command -v strace >/dev/null || { echo "strace is not installed (apt-get install strace)" >&2; exit 1; }

# sway will not run as root, and a client's shared memory is the X
# server's only when both are the same user: sway and the programs measured
# run as nobody, in a runtime directory of sway's.
# (A command, not a function: the process ids taken must be the programs'.)
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
compositor=$work/sway
mkdir -m 700 "$compositor"
cat >"$compositor/config" <<CONFIG
output HEADLESS-1 mode 1920x1080@60Hz
xwayland force
exec sh -c 'echo "\$WAYLAND_DISPLAY \$DISPLAY \$SWAYSOCK" >"\$XDG_RUNTIME_DIR/displays"'
CONFIG
chmod 711 "$work"
chown -R nobody:nogroup "$work/config" "$compositor"
XDG_RUNTIME_DIR=$compositor HOME=$compositor WLR_BACKENDS=headless WLR_RENDERER=pixman \
  WLR_LIBINPUT_NO_DEVICES=1 "${as_nobody[@]}" sway -c "$compositor/config" >"$work/sway.log" 2>&1 &
sway=$!
trap 'kill "$sway" 2>/dev/null; kill -CONT "$sway" 2>/dev/null; wait "$sway"; rm -rf "$work"' EXIT
if ! poll_until 10 test -s "$compositor/displays"; then
  echo "sway did not start:" >&2
  cat "$work/sway.log" >&2
  exit 1
fi
read -r WAYLAND_DISPLAY x_display SWAYSOCK <"$compositor/displays"
export XDG_RUNTIME_DIR=$compositor HOME=$compositor WAYLAND_DISPLAY SWAYSOCK
end_saver() { kill -TERM "$1"; }

# Xwayland runs from the start, idle while the saver runs natively.
poll_until 10 pgrep -f "^Xwayland $x_display " >/dev/null || { echo "no Xwayland on $x_display" >&2; exit 1; }
steady_also=("sway=$sway" "Xwayland=$(pgrep -f "^Xwayland $x_display ")")

echo "natively on Wayland ($WAYLAND_DISPLAY):"
"${as_nobody[@]}" env -u DISPLAY "$build/bin/saver_bench" --paced "$seconds"
floor() { steady_cpu "paced_floor_wayland" end_saver "${as_nobody[@]}" env -u DISPLAY "$build/bin/paced_floor_wayland"; }
native() { steady_cpu "vantel /s on Wayland" end_saver "${as_nobody[@]}" env -u DISPLAY "$build/bin/vantel" /s; }
against_floor "vantel /s on Wayland" floor native

# Nobody sees the saver: its surface gets no frame callbacks. sway 1.7
# cannot power a headless output down (it takes `output * dpms off` but
# fails to commit it, and the output goes on calling back), and the
# saver's overlay-layer surface shows over every workspace, so sway is
# stopped instead: the saver hears nothing from it, as from a compositor
# whose outputs are off. The CPU the saver uses meanwhile, and how often
# it wakes; then, five times, how long after sway goes on the saver sends
# it a frame (its first message after, as strace times it), and how long
# after the first message sway sent it, which leaves out sway's waking.
"${as_nobody[@]}" env -u DISPLAY "$build/bin/vantel" /s 2>/dev/null &
saver=$!
sleep 4
kill -STOP "$sway"
sleep 2
first=$(cpu_ns "$saver")
first_wakes=$(wakes "$saver")
sleep "$seconds"
print_cpu "vantel /s on Wayland, hidden" "$first" "$(cpu_ns "$saver")"
echo "  it woke $(($(wakes "$saver") - first_wakes)) times in $seconds s"
for round in 1 2 3 4 5; do
  [ "$round" = 1 ] || { kill -STOP "$sway"; sleep 1.5; }
  strace -q -ttt -e trace=sendmsg,recvmsg -o "$work/resumed" -p "$saver" &
  tracer=$!
  sleep 1
  continued=$(date +%s.%N)
  kill -CONT "$sway"
  sleep 0.5
  kill "$tracer"
  wait "$tracer" || true
  awk -v from="$continued" '$1 > from && /recvmsg/ && !heard { heard = $1 }
    $1 > from && /sendmsg/ { printf "  it sent a frame %.1f ms after sway went on, %.1f ms after sway'"'"'s first word\n",
                                    ($1 - from) * 1000, ($1 - heard) * 1000; exit }' "$work/resumed"
done
end_saver "$saver"
wait "$saver" || true

echo "through XWayland ($x_display):"
DISPLAY=$x_display "${as_nobody[@]}" env -u WAYLAND_DISPLAY "$build/bin/saver_bench" --paced "$seconds"
steady_cpu "vantel /s on XWayland" end_saver "${as_nobody[@]}" env -u WAYLAND_DISPLAY DISPLAY="$x_display" "$build/bin/vantel" /s
