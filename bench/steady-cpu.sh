# Sourced by the benchmark scripts: the CPU a program uses once started up.

# Processes measured beside the program, as name=PID (none unless set).
steady_also=()

# cpu_ns PID: the time the process's threads have spent on a CPU so far, in
# nanoseconds (the first field of each /proc/PID/task/*/schedstat): exact,
# where the user and system times of /proc/PID/stat come in 10 ms ticks.
cpu_ns() {
  cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%.0f\n", sum }'
}

# wakes PID: how often the process's threads have been switched to so far
# (their voluntary and involuntary context switches).
wakes() {
  cat /proc/"$1"/task/*/status | awk '/ctxt_switches:/ { sum += $2 } END { print sum }'
}

# steady_cpu WHAT END COMMAND...: starts COMMAND and prints the CPU it uses
# from 4 s after its start to $seconds later, as % of one core, and leaves
# that figure in $steady_percent; then ends it by running END with its
# process id, and waits for it. The processes of steady_also are measured
# over the same span.
steady_cpu() {
  local what=$1 end=$2 pid first last watched
  shift 2
  "$@" 2>/dev/null &
  pid=$!
  sleep 4
  declare -A before=()
  for watched in "${steady_also[@]}"; do before[$watched]=$(cpu_ns "${watched#*=}"); done
  first=$(cpu_ns "$pid")
  sleep "$seconds"
  last=$(cpu_ns "$pid")
  print_cpu "$what" "$first" "$last"
  steady_percent=$(awk -v first="$first" -v last="$last" -v span="$seconds" \
    'BEGIN { printf "%.3f", (last - first) / span / 1e7 }')
  for watched in "${steady_also[@]}"; do
    print_cpu "  ${watched%=*} meanwhile" "${before[$watched]}" "$(cpu_ns "${watched#*=}")"
  done
  "$end" "$pid"
  wait "$pid" || true
}

# print_cpu WHAT FIRST LAST: the nanoseconds from FIRST to LAST over $seconds.
print_cpu() {
  awk -v what="$1" -v first="$2" -v last="$3" -v span="$seconds" 'BEGIN {
    printf "%s: CPU %.2f%% of one core from 4 s to %d s after start (%.1f ms on a CPU)\n",
           what, (last - first) / span / 1e7, 4 + span, (last - first) / 1e6 }'
}

# against_floor WHAT FLOOR SAVER: runs the functions FLOOR and SAVER in turn,
# three rounds, each leaving a steady_cpu figure, and prints the median of
# each and the saver's as a multiple of the floor's.
against_floor() {
  local what=$1 floor=$2 saver=$3 round floors=() savers=()
  for round in 1 2 3; do
    "$floor"
    floors+=("$steady_percent")
    "$saver"
    savers+=("$steady_percent")
  done
  local floor_median saver_median
  floor_median=$(printf '%s\n' "${floors[@]}" | sort -g | sed -n 2p)
  saver_median=$(printf '%s\n' "${savers[@]}" | sort -g | sed -n 2p)
  awk -v what="$what" -v floor="$floor_median" -v saver="$saver_median" 'BEGIN {
    printf "%s: floor %.2f%%, saver %.2f%% of one core (medians of three rounds): %.2fx the floor\n",
           what, floor, saver, (floor > 0 ? saver / floor : 0) }'
}
