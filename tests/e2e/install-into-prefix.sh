#!/usr/bin/env bash
# `cmake --install` puts exactly the programs, the desktop entries, the icons,
# the XScreenSaver descriptor, the xsecurelock module and the manual pages
# into a prefix; each passes its own format's checker, and the module starts
# the installed saver in the host's window. The Debian package installs
# through the same rules.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

build=$VANTEL_BUILD_DIR
expected="bin/vantel
bin/vantel30
libexec/xsecurelock/saver_vantel
share/applications/screensavers/vantel.desktop
share/applications/vantel30.desktop
share/icons/hicolor/128x128/apps/vantel30.png
share/icons/hicolor/16x16/apps/vantel30.png
share/icons/hicolor/256x256/apps/vantel30.png
share/icons/hicolor/32x32/apps/vantel30.png
share/icons/hicolor/48x48/apps/vantel30.png
share/icons/hicolor/64x64/apps/vantel30.png
share/icons/hicolor/scalable/apps/vantel30.svg
share/man/man1/vantel30.1
share/man/man6/vantel.6
share/metainfo/example.c_seed_fad3701f.vantel30.metainfo.xml
share/xscreensaver/config/vantel.xml"
files_below() { (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed: $(cat "$work/install.log")"
[ "$(files_below "$prefix")" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(files_below "$prefix"))"

share=$prefix/share
xmllint --noout "$share/xscreensaver/config/vantel.xml" || fail "vantel.xml does not parse"
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$share/xscreensaver/config/vantel.xml")" = vantel ] ||
    fail "vantel.xml does not name the program"
[ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$share/xscreensaver/config/vantel.xml")" = --root ] ||
    fail "vantel.xml does not run it with --root"
# XScreenSaver's settings show the description's last line as the credits.
xmllint --xpath 'string(/screensaver/_description)' "$share/xscreensaver/config/vantel.xml" | sed '/^ *$/d' |
    tail -1 | grep -qE '^Written by .+; [0-9]{4}\.$' || fail "vantel.xml's description does not end with its credits"
for entry in "$share/applications/vantel30.desktop" "$share/applications/screensavers/vantel.desktop"; do
    report=$(desktop-file-validate "$entry" 2>&1) || fail "$entry: $report"
    grep -q 'error\|warning' <<<"$report" && fail "$entry: $report"
done
# Software centres show the tool from its metadata: valid, launching the
# installed entry, for the version the tool says it is.
metainfo=$share/metainfo/example.c_seed_fad3701f.vantel30.metainfo.xml
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "$metainfo: $report"
grep -q '^[EWP]:' <<<"$report" && fail "$metainfo: $report"
[ -f "$share/applications/$(xmllint --xpath 'string(//launchable)' "$metainfo")" ] ||
    fail "the metadata launches no installed desktop entry"
[ "$(xmllint --xpath 'string(//release[1]/@version)' "$metainfo")" = "$("$prefix/bin/vantel30" --version | sed -n '1s/^vantel30 //p')" ] ||
    fail "the metadata's newest release is not the tool's version"
# Under C the output device is ASCII, where a Japanese caption would be a warning.
for page in "$share/man/man6/vantel.6" "$share/man/man1/vantel30.1"; do
    for locale in C.UTF-8 C; do
        LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/page.err" ||
            fail "$page does not render under $locale"
        [ -s "$work/page.err" ] && fail "$page under $locale: $(cat "$work/page.err")"
        [ "$(wc -l <"$work/page.txt")" -gt 20 ] || fail "$page renders almost nothing under $locale"
    done
done
for size in 16 32 48 64 128 256; do
    [ "$(identify -format '%m %wx%h' "$share/icons/hicolor/${size}x$size/apps/vantel30.png")" = "PNG ${size}x$size" ] ||
        fail "the ${size}px icon is not a ${size}x$size PNG"
done
# The scalable icon is drawn by hand: it must still look like the PNGs.
svg_at_64=$work/svg-64.png
convert -background none -density 192 "$share/icons/hicolor/scalable/apps/vantel30.svg" -resize 64x64 "$svg_at_64" ||
    fail "the scalable icon does not render"
difference=$({ compare -metric RMSE "$svg_at_64" "$share/icons/hicolor/64x64/apps/vantel30.png" null: 2>&1 || true; } |
    sed 's/.*(\(.*\))/\1/')
awk -v d="$difference" 'BEGIN { exit !(d < 0.03) }' || fail "the scalable icon differs from the 64px one (RMSE $difference)"

module=$prefix/libexec/xsecurelock/saver_vantel
[ -x "$module" ] && [ "$(wc -l <"$module")" = 2 ] || fail "the xsecurelock module is not a two-line program"
open_host_window host 320 240
XSCREENSAVER_WINDOW=$host_id env --default-signal=INT "$module" 2>"$work/module.err" &
module_pid=$!
started+=("$module_pid")
poll_until 20 window_shows "$host_id" '#1884a0' 25% || fail "the module's saver does not draw into the host's window"
[ "$(readlink -f "/proc/$module_pid/exe")" = "$(readlink -f "$prefix/bin/vantel")" ] ||
    fail "the module runs $(readlink -f "/proc/$module_pid/exe"), not the installed saver"
kill -TERM "$module_pid"
expect_exit "$module_pid" 0 "the module's saver on SIGTERM"

echo "ok"
