# Waiting for something to happen, with a deadline instead of a fixed sleep.

# poll_until SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds, and succeeds then; fails once SECONDS (a whole number) have passed
# without it succeeding.
poll_until() {
  local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@"; do
    ((${EPOCHREALTIME//[!0-9]/} < deadline)) || return 1
    sleep 0.1
  done
}

# ended PID: whether process PID has ended.
ended() { ! kill -0 "$1" 2>/dev/null; }

# expect_exit PID CODE CASE: waits (20 s at most) for our child PID to end and
# checks its exit code against CODE; on failure calls the caller's `fail`,
# naming CASE and the program's standard error, which the caller keeps in
# $work/stderr. Runs in the caller's shell: only it can wait for its children.
expect_exit() {
  poll_until 20 ended "$1" || fail "$3: the program did not end"
  local code=0
  wait "$1" || code=$?
  [ "$code" = "$2" ] || fail "$3: exit code $code, expected $2; stderr: $(cat "$work/stderr")"
}
