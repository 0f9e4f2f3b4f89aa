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
