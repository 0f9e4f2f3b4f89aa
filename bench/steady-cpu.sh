# Sourced by the benchmark scripts: the CPU a program uses once started up.

# Processes measured beside the program, as name=PID (none unless set).
steady_also=()

# cpu_ticks PID: the user and system time of the process so far, in clock
# ticks (utime + stime of /proc/PID/stat, read past the command's name,
# which may hold spaces).
cpu_ticks() {
  sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# steady_cpu WHAT END COMMAND...: starts COMMAND and prints the CPU it uses
# from 4 s after its start to $seconds later, as % of one core; then ends it
# by running END with its process id, and waits for it. The processes of
# steady_also are measured over the same span.
steady_cpu() {
  local what=$1 end=$2 pid first last tick watched
  shift 2
  "$@" 2>/dev/null &
  pid=$!
  sleep 4
  declare -A before=()
  for watched in "${steady_also[@]}"; do before[$watched]=$(cpu_ticks "${watched#*=}"); done
  first=$(cpu_ticks "$pid")
  sleep "$seconds"
  last=$(cpu_ticks "$pid")
  tick=$(getconf CLK_TCK)
  print_cpu "$what" "$first" "$last" "$tick"
  for watched in "${steady_also[@]}"; do
    print_cpu "  ${watched%=*} meanwhile" "${before[$watched]}" "$(cpu_ticks "${watched#*=}")" "$tick"
  done
  "$end" "$pid"
  wait "$pid" || true
}

# print_cpu WHAT FIRST LAST TICK: the ticks from FIRST to LAST over $seconds.
print_cpu() {
  awk -v what="$1" -v first="$2" -v last="$3" -v tick="$4" -v span="$seconds" 'BEGIN {
    printf "%s: CPU %.2f%% of one core from 4 s to %d s after start (%d ticks of 1/%d s)\n",
           what, 100 * (last - first) / tick / span, 4 + span, last - first, tick }'
}
