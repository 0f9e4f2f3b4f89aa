#!/usr/bin/env bash
# The X server ending under a running program, on an Xvfb of the test's own:
# the saver, in its own window or in a host's, ends with exit code 1 and one
# line on standard error naming the lost display, its lock file gone; the
# settings tool ends too, also from inside a modal dialog, in the toolkit's
# words. Nothing hangs, spins or dumps core.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

bin=${VANTEL_BIN_DIR:?VANTEL_BIN_DIR is not set}
work=$(mktemp -d)
mkdir -p "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
program=""
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# What shows that the program is up and running.
window_shown() { timeout 20 xdotool search --sync --onlyvisible --name '^Vantel$' >/dev/null; }
# Drawing once the start-up has written its last line, the back plane's:
# what comes after that must be the one line about the lost display.
drawing() { poll_until 20 grep -qx 'phase 4' "$work/stderr"; }
saver_up() { window_shown && drawing; }
dialog_shown() {
  window_shown || return 1
  xdotool mousemove --window "$(xdotool search --onlyvisible --name '^Vantel$' | head -1)" 320 20 click 1
  timeout 20 xdotool search --sync --onlyvisible --name '^Open$' >/dev/null
}
root_window() { xwininfo -root | awk '/Window id:/ { print $4 }'; }

# lose_display CASE CODE LAST_LINE UP COMMAND...: runs COMMAND on a fresh
# display until UP succeeds, kills the X server and checks the exit code
# (any code from 1 to 127 for "some") and the standard error written since.
lose_display() {
  local case=$1 code=$2 last=$3 up=$4
  shift 4
  mkdir "$work/$case"
  start_xvfb "$work/$case"
  local command=("$@")
  # Its trace tells when a saver draws.
  [ "$1" = hosted ] && command=("$bin/vantel" --window-id "$(root_window)")
  command=(env VANTEL_DEBUG=1 "${command[@]}")
  # Emptied here, not by the child's redirection, which may come after "$up"
  # has read the previous case's lines.
  : >"$work/stderr"
  "${command[@]}" 2>>"$work/stderr" &
  program=$!
  "$up" || fail "$case: the program did not come up"
  local lines
  lines=$(wc -l <"$work/stderr")
  kill -KILL "$xvfb_pid"
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  poll_until 20 ended "$program" || fail "$case: still running 20 s after the display went"
  local got=0
  wait "$program" || got=$?
  program=""
  if [ "$code" = some ]; then
    ((got > 0 && got < 128)) || fail "$case: exit code $got"
  else
    [ "$got" = "$code" ] || fail "$case: exit code $got, expected $code"
  fi
  local after
  after=$(tail -n +"$((lines + 1))" "$work/stderr")
  [ "$(wc -l <<<"$after")" = 1 ] && [[ $after == $last ]] || fail "$case: standard error ended with: $after"
  [ -z "$(find "$XDG_RUNTIME_DIR" -name '*.lock')" ] || fail "$case: lock files left: $(ls "$XDG_RUNTIME_DIR")"
}

lose_display saver 1 "vantel: lost the connection to the X display :*" saver_up "$bin/vantel" /s
lose_display hosted-saver 1 "vantel: lost the connection to the X display :*" drawing hosted
lose_display tool some "*X11*" window_shown "$bin/vantel30"
# In English: xdotool reads only the Latin-1 title, which the Japanese one has no characters in.
lose_display tool-in-dialog some "*X11*" dialog_shown env LANGUAGE=en "$bin/vantel30"
echo "ok"
