#!/usr/bin/env bash
# The one-copy lock. A host window of one display has one saver, whichever
# name of the display (:N, :N.0, unix:N) each copy goes by; a lock file never
# outlives a clean end. Without a usable $XDG_RUNTIME_DIR (missing, a file,
# read-only) the lock lives in the user's own directory in /tmp, and no file
# of another user there (a file, a link, a directory with the lock held)
# stops the saver or lets two copies run.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

number=${DISPLAY#:}
number=${number%%.*}
locks() { find "$@" -name '*.lock'; }

open_host_window w 320 240
DISPLAY=":$number" start_named first --window-id "$w_id"
poll_until 20 window_shows "$w_id" '#1884a0' 25% || fail "no box in the host's window"
for name in ":$number.0" "unix:$number" ":$number"; do
    code=0
    # A copy that wrongly runs on is stopped, and shows as 124.
    DISPLAY=$name timeout 20 "$bin/vantel" --window-id "$w_id" 2>>"$work/stderr" || code=$?
    [ "$code" = 1 ] || fail "a second copy on $name for the same window ended with $code, not 1"
done
kill -TERM "$first_pid"
expect_exit "$first_pid" 0 "SIGTERM"
[ -z "$(locks "$XDG_RUNTIME_DIR")" ] || fail "lock files left: $(locks "$XDG_RUNTIME_DIR")"
start_saver /s
await_window
xdotool key space
expect_exit "$saver" 0 "key press"
[ -z "$(locks "$XDG_RUNTIME_DIR")" ] || fail "lock files left: $(locks "$XDG_RUNTIME_DIR")"

# As nobody, whose own directory in /tmp root takes first; root writes
# through any mode, so the user must be another.
own=/tmp/vantel-$(id -u nobody)
trap 'rm -rf "$own" "$own".*; finish' EXIT
chmod 755 "$work"
mkdir -p "$work/bin" "$work/nobody"
cp "$bin/vantel" "$work/bin/"
chown nobody:nogroup "$work/nobody"
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups env --default-signal=INT)
home=(HOME="$work/nobody" XDG_CONFIG_HOME="$work/nobody")
holder=""
# A runtime directory, then what root left under nobody's name in /tmp.
for case in "missing|" "a file|file" "read-only|link" "unset|held"; do
    runtime=${case%|*} squat=${case#*|}
    rm -rf "$own" "$own".* "$work/nobody/runtime" "$work/nobody/linked"
    environment=(XDG_RUNTIME_DIR="$work/nobody/runtime")
    case $runtime in
        "a file") touch "$work/nobody/runtime" ;;
        read-only) mkdir -m 500 "$work/nobody/runtime" && chown nobody "$work/nobody/runtime" ;;
        unset) environment=(-u XDG_RUNTIME_DIR) ;;
    esac
    case $squat in
        file) touch "$own" ;;
        # Even to a directory of nobody's own: the name is not nobody's to follow.
        link) mkdir -m 700 "$work/nobody/linked" && chown nobody "$work/nobody/linked" && ln -s "$work/nobody/linked" "$own" ;;
        held) mkdir -m 1777 "$own" && exec {holder}>"$own/Deepdrift-:$number.lock" && flock "$holder" ;;
    esac
    shown="runtime directory $runtime${squat:+, /tmp squatted: $squat}"
    "${as_nobody[@]}" "${environment[@]}" "${home[@]}" "$work/bin/vantel" /s 2>>"$work/stderr" &
    saver=$!
    started+=("$saver")
    await_window
    # Nobody's own directory: the plain name, or when that is taken one beside it.
    ours=$own
    [ -n "$squat" ] && ours=$(find /tmp -maxdepth 1 -name "vantel-$(id -u nobody).*" -user nobody -perm 700)
    [ -n "$(locks "$ours")" ] || fail "$shown: the lock is not in nobody's own directory ($ours)"
    code=0
    timeout 20 "${as_nobody[@]}" "${environment[@]}" "${home[@]}" "$work/bin/vantel" /s 2>>"$work/stderr" ||
        code=$?
    [ "$code" = 1 ] || fail "$shown: a second copy ended with $code, not 1"
    xdotool key space
    expect_exit "$saver" 0 "$shown"
    [ -z "$(locks "$ours")" ] || fail "$shown: lock files left: $(locks "$ours")"
    if [ -n "$holder" ]; then exec {holder}>&-; holder=""; fi
done
echo "ok"
