#!/usr/bin/env bash
# The settings tool speaks the language its environment asks for: English
# under LANGUAGE=en and under LANG=en_US.UTF-8, Japanese under
# LANG=ja_JP.UTF-8 and under the C locale. Its open dialog (Qt's own) speaks
# the same, and so does the notice that a chosen file is no picture. The
# English window looks the same without any font that has Japanese, which
# the Japanese one needs.
source "$(dirname "$0")/saver-lib.sh"

printf 'no picture' >"$work/fake.jpg"
cat >"$work/no-japanese-fonts.conf" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include>/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><pattern><patelt name="lang"><string>ja</string></patelt></pattern></rejectfont></selectfont>
</fontconfig>
XML

# speaks OPEN_TITLE NOTICE_TITLE NAME VARIABLE=VALUE...: starts the tool in
# the environment given and keeps its window's picture as $work/NAME.png;
# then clicks "open file", types the fake picture's name into the dialog
# titled OPEN_TITLE and expects a notice titled NOTICE_TITLE.
speaks() {
    local open_title=$1 notice_title=$2 name=$3
    shift 3
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES "$@" "$bin/vantel30" 2>>"$work/stderr" &
    local tool=$!
    started+=("$tool")
    tool_window() { xdotool search --all --pid "$tool" --onlyvisible --name '^Vantel$' 2>/dev/null | head -1 | grep -q .; }
    poll_until 20 tool_window || fail "$name: no tool window: $(cat "$work/stderr")"
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --all --pid "$tool" --name '^Vantel$' | head -1)" |
        grep -E '^(X|Y)=')"
    # Loaded and painted once its swatch shows the first start's red.
    window_shown() {
        import -window root "$work/screen.png"
        convert "$work/screen.png" -crop "374x287+$X+$Y" +repage "$work/$name.png"
        [ "$(convert "$work/$name.png" -format '%[pixel:p{344,68}]' info:)" = "srgb(255,0,0)" ]
    }
    poll_until 20 window_shown || fail "$name: the window was not painted"
    # A shown window of the tool titled $1. xdotool matches the Latin-1 title
    # (WM_NAME) alone, where Qt's Japanese titles are mangled.
    named() {
        local id
        for id in $(xdotool search --all --pid "$tool" --onlyvisible --name . 2>/dev/null); do
            [ "$(LC_ALL=C.UTF-8 xprop -id "$id" _NET_WM_NAME)" = "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ] && return 0
        done
        return 1
    }
    xdotool mousemove $((X + 320)) $((Y + 20)) click 1   # "open file"
    poll_until 20 named "$open_title" || fail "$name: no open dialog titled $open_title"
    xdotool type --delay 1 "$work/fake.jpg"
    xdotool key Return
    poll_until 20 named "$notice_title" || fail "$name: no notice titled $notice_title"
    kill "$tool"
    wait "$tool" 2>/dev/null || true
}
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }

no_japanese_fonts=FONTCONFIG_FILE=$work/no-japanese-fonts.conf
speaks Open Caution language-en LANGUAGE=en LANG=C.UTF-8
speaks Open Caution lang-en LANG=en_US.UTF-8
speaks 開く 注意 lang-ja LANG=ja_JP.UTF-8
speaks 開く 注意 c-locale LANG=C.UTF-8
speaks Open Caution lang-en-latin LANG=en_US.UTF-8 "$no_japanese_fonts"
speaks 開く 注意 lang-ja-latin LANG=ja_JP.UTF-8 "$no_japanese_fonts"
same lang-en lang-en-latin || fail "the English window changes without Japanese fonts"
same lang-ja lang-ja-latin && fail "the Japanese window looks the same without Japanese fonts"
echo "PASS: English for LANGUAGE=en and en_US, Japanese for ja_JP and C, in the window, its dialog and its notice"
