#!/usr/bin/env bash
# "設定確定" with a read-only settings file, as an ordinary user (root writes
# through any mode bits): the tool says which file it could not write and
# why, and the picture and the settings stay byte for byte as they were.
source "$(dirname "$0")/saver-lib.sh"

home=$work/home image=$work/bin/123.bmp ini=$work/home/config/vantel/Vantel.ini
chmod 755 "$work"
mkdir -p "$work/bin" "$home/config/vantel" "$home/runtime"
cp "$bin/vantel30" "$work/bin/"
convert -size 256x256 xc:blue "BMP3:$image"
printf '[SETTING]\nFILENAME=%s\nDIR=/tmp\nCOLOR=255\n[SS_SECTION]\nSPEED=3\n' "$image" >"$ini"
chown -R nobody:nogroup "$work/bin" "$home"
chmod 444 "$ini"
cp -p "$image" "$ini" "$work/"
# Japanese, the tool's own language, whatever the machine's.
setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/runtime" LANG=ja_JP.UTF-8 "$work/bin/vantel30" >"$work/tool.log" 2>&1 &
tool=$!
started+=("$tool")

# The tool's window named $1 (xdotool's own name search misses Japanese names).
window_of() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$tool" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id" && return
    done
    return 0
}
shown() { [ -n "$(window_of "$1")" ]; }
gone() { ! shown "$1"; }
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'; }
poll_until 20 shown Vantel || fail "no tool window appeared: $(cat "$work/tool.log")"
read -r left top <<<"$(origin "$(window_of Vantel)")"
# The tool has read the settings (and made their lock file) by now.
before=$(ls -A "$work/bin" "$home/config/vantel")

# A stroke, then "設定確定"; three clicks select the notice's whole text.
xdotool mousemove $((left + 50)) $((top + 138)) mousedown 1 mousemove $((left + 160)) $((top + 138)) mouseup 1
xdotool mousemove $((left + 320)) $((top + 196)) click 1
poll_until 20 shown 注意 || fail "no message box appeared: $(cat "$work/tool.log")"
box=$(window_of 注意)
read -r left top <<<"$(origin "$box")"
xdotool mousemove $((left + 60)) $((top + 24)) click --repeat 3 --delay 80 1
expected="設定ファイル「$ini」に書き込めません。このファイルは読み取り専用です。書き込みを中止します。"
said() { [ "$(xclip -o -selection primary 2>/dev/null)" = "$expected" ]; }
poll_until 10 said || fail "the message reads: $(xclip -o -selection primary 2>/dev/null)"
# The press closes the box; sending the release then finds no window.
xdotool key --window "$box" Return 2>/dev/null || true
poll_until 10 gone 注意 || fail "the message box stayed"
# The release went nowhere, so the server still holds Return down and would
# repeat it into the next test's windows.
xdotool keyup Return

cmp -s "$image" "$work/123.bmp" || fail "the picture changed"
cmp -s "$ini" "$work/Vantel.ini" || fail "the settings changed"
[ "$(ls -A "$work/bin" "$home/config/vantel")" = "$before" ] || fail "files appeared: $(ls -A "$work/bin" "$home/config/vantel")"
echo "ok"
