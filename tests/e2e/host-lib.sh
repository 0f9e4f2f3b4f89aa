# Host windows for the saver to draw into, as a screensaver host hands over
# its own, and savers started into them. Sourced after saver-lib.sh.

tools="${VANTEL_BUILD_DIR:?VANTEL_BUILD_DIR is not set}/tests"

# Runs a command without root's rights: as nobody when the tests run as root,
# as the user itself otherwise (as in a package build). An array, not a
# function: started in the background, its pid is the program's own. Files
# for it to own go to $unprivileged_owner.
if [ "$(id -u)" = 0 ]; then
    unprivileged=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    unprivileged_user=nobody unprivileged_owner=nobody:nogroup
else
    unprivileged=()
    unprivileged_user=$(id -un) unprivileged_owner="$(id -u):$(id -g)"
fi

# Opens a black window of $2 x $3 named $1 (host_window; "input-only" as $4
# makes it of that class, "argb" a 32-bit one); its id lands in ${1}_id, and
# window_command drives it.
open_host_window() {
    local name=$1 fd
    mkfifo "$work/$name.in"
    "$tools/host_window" "${@:2}" <"$work/$name.in" >"$work/$name.out" &
    started+=("$!")
    exec {fd}>"$work/$name.in"
    printf -v "${name}_fd" %s "$fd"
    poll_until 20 test -s "$work/$name.out" || fail "window $name did not open"
    printf -v "${name}_id" %s "$(head -1 "$work/$name.out")"
}

# How many commands window $1 has carried out.
commands_done() { grep -c '^done$' "$work/$1.out" || true; }
answered_beyond() { [ "$(commands_done "$1")" -gt "$2" ]; }

# Has window $1 carry out "$2" (size W H, move X Y, destroy) and waits until it has.
window_command() {
    local name=$1 fd_name="${1}_fd" before
    before=$(commands_done "$name")
    echo "$2" >&"${!fd_name}"
    poll_until 20 answered_beyond "$name" "$before" || fail "window $name did not carry out '$2'"
}

# Starts `vantel` with the arguments after $1 in the background, named $1:
# its pid lands in ${1}_pid, its standard error in $work/$1.err.
start_named() {
    local name=$1
    shift
    env --default-signal=INT "$bin/vantel" "$@" 2>"$work/$name.err" &
    printf -v "${name}_pid" %s "$!"
    started+=("$!")
}

# Succeeds when window $1 shows some pixels within fuzz $3 of colour $2.
window_shows() {
    import -window "$1" "$work/window.png" 2>/dev/null && near_colour "$work/window.png" "$2" "$3"
}

# Succeeds when a box-sized part of window $1 (the root window when none is
# given) is lit and the rest is black, read without a screenshot.
shows_box() {
    local pixels lit
    read -r pixels lit _ <<<"$("$tools/window_pixels" "$@")" &&
        awk -v p="$pixels" -v l="$lit" 'BEGIN { exit !(l > 0.0003 * p && l < 0.05 * p) }'
}
