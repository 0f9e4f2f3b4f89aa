#!/usr/bin/env bash
# A texture named in the settings that is no bitmap file to read (a FIFO, a
# directory, a device, a huge sparse file, a header claiming 60000 x 60000)
# neither blocks nor exhausts the saver: it starts at once, shows the built-in
# texture and ends on a key. One under "~/" on the command line, as
# XScreenSaver's file chooser writes it, is found in the home directory.
source "$(dirname "$0")/saver-lib.sh"

mkfifo "$work/fifo.bmp"
mkdir "$work/folder.bmp"
convert -size 8x8 xc:'#FF00FF' BMP3:"$work/sparse.bmp"
truncate -s 1G "$work/sparse.bmp"
convert -size 8x8 xc:'#FF00FF' BMP3:"$work/huge.bmp"
printf '\x60\xea\x00\x00\x60\xea\x00\x00' | dd of="$work/huge.bmp" bs=1 seek=18 conv=notrunc status=none
mkdir -p "$XDG_CONFIG_HOME/vantel"

for texture in "$work/fifo.bmp" "$work/folder.bmp" /dev/zero "$work/sparse.bmp" "$work/huge.bmp"; do
    printf '[SETTING]\nFILENAME=%s\n' "$texture" >"$XDG_CONFIG_HOME/vantel/Vantel.ini"
    start_saver /s
    await_window
    shows_built_in() {
        import -window root "$work/shot.png"
        near_colour "$work/shot.png" '#1884a0' 25%
    }
    poll_until 10 shows_built_in || fail "$texture: the built-in texture does not show"
    xdotool key Escape
    expect_exit "$saver" 0 "$texture"
done

mkdir -p "$work/home/Pictures"
convert -size 64x64 xc:'#FF00FF' BMP3:"$work/home/Pictures/box.bmp"
: >"$work/stderr"
# shellcheck disable=SC2088 # the tilde is the saver's to expand
given='~/Pictures/box.bmp'
HOME=$work/home start_saver -texture "$given"
await_window
shows_given() {
    import -window root "$work/shot.png"
    near_colour "$work/shot.png" '#FF00FF' 25%
}
poll_until 10 shows_given || fail "$given does not show: $(cat "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "$given: $(cat "$work/stderr")"
xdotool key Escape
expect_exit "$saver" 0 "$given"
echo "ok"
