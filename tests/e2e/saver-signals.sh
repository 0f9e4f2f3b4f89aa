#!/usr/bin/env bash
# Signals never end the saver badly. With standard error going to a pipe
# that nobody reads, its trace lines are simply lost: it starts, follows a
# host window's size, and a key or SIGTERM still ends it with 0. SIGQUIT
# ends it by the signal, its core dump kept, in its own window and in a
# host's, and leaves no lock file behind. SIGTERM or SIGINT at any moment
# from exec on, start-up included, ends it with 0 and leaves no lock file
# behind.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

# A pipe whose reader is gone before the saver writes: opened read-write to
# make it, then only the write end kept.
mkfifo "$work/pipe"
exec {both}<>"$work/pipe"
exec {unread}>"$work/pipe"
exec {both}>&-

env --default-signal=INT "$bin/vantel" /s 2>&"$unread" &
saver=$!
started+=("$saver")
await_window
xdotool key space
expect_exit "$saver" 0 "own window with standard error unread"

open_host_window host 400 300
env --default-signal=INT "$bin/vantel" --window-id "$host_id" 2>&"$unread" &
hosted=$!
started+=("$hosted")
poll_until 20 window_shows "$host_id" '#1884a0' 25% || fail "no box in the host's window"
window_command host "size 500 360"
window_command host "size 420 320"
kill -0 "$hosted" 2>/dev/null || fail "the hosted saver ended on a resize with standard error unread"
kill -TERM "$hosted"
expect_exit "$hosted" 0 "hosted, SIGTERM with standard error unread"
exec {unread}>&-

# SIGQUIT: 131, ended by the signal, which dumps core (the limit keeps the
# core file out of the test's way), and the lock file gone all the same. A
# background job starts with SIGQUIT ignored: the saver must get it as a
# user's shell sends it.
ulimit -c 0
locks() { find "$XDG_RUNTIME_DIR" -name '*.lock'; }
for mode in own host; do
    arguments=(/s)
    [ "$mode" = host ] && arguments=(--window-id "$host_id")
    env --default-signal=INT,QUIT "$bin/vantel" "${arguments[@]}" 2>>"$work/stderr" &
    saver=$!
    started+=("$saver")
    if [ "$mode" = own ]; then
        await_window
    else
        poll_until 20 window_shows "$host_id" '#1884a0' 25% || fail "no box in the host's window"
    fi
    [ -n "$(locks)" ] || fail "no lock file while the saver runs in the $mode window"
    kill -QUIT "$saver"
    expect_exit "$saver" 131 "SIGQUIT in the $mode window"
    [ -z "$(locks)" ] || fail "SIGQUIT in the $mode window left $(locks)"
done

# A background job's SIGINT, ignored from the start, stays ignored.
env "$bin/vantel" /s 2>>"$work/stderr" &
saver=$!
started+=("$saver")
handles_term() { (( 0x$(awk '/^SigCgt/ { print $2 }' "/proc/$saver/status") & 1 << 14 )); }
poll_until 20 handles_term || fail "SIGTERM is not handled"
(( 0x$(awk '/^SigIgn/ { print $2 }' "/proc/$saver/status") & 1 << 1 )) || fail "SIGINT is no longer ignored"
kill -TERM "$saver"
expect_exit "$saver" 0 "SIGTERM with SIGINT ignored"

# Right after exec, then a little later each time, over the whole start-up.
# The saver starts with both signals blocked, as a parent may leave them:
# one sent while the dynamic loader still runs, before any code of the
# saver's own could handle it, waits until the saver takes it. (env's
# --default-signal unblocks, so it comes first.)
blocked=(env --default-signal=INT perl -MPOSIX -e
    'sigprocmask(SIG_BLOCK, POSIX::SigSet->new(SIGTERM, SIGINT)) && exec @ARGV')
execed() { [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$(readlink -f "$bin/vantel")" ]; }
for step in $(seq 0 24); do
    signal=TERM
    [ $((step % 3)) = 2 ] && signal=INT
    "${blocked[@]}" "$bin/vantel" /s 2>>"$work/stderr" &
    saver=$!
    started+=("$saver")
    poll_until 20 execed "$saver" || fail "the saver did not start"
    # 0 to 96 ms: the window, the rendering layer, the scene, the first frames.
    [ "$step" -gt 0 ] && sleep "$(printf '0.%03d' $((step * 4)))"
    kill -"$signal" "$saver"
    expect_exit "$saver" 0 "SIG$signal $step steps into the start"
    leftovers=$(find "$XDG_RUNTIME_DIR" -name '*.lock')
    [ -z "$leftovers" ] || fail "SIG$signal $step steps into the start left $leftovers"
done
echo "ok"
