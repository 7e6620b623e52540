#!/bin/sh
# A show PC with no desktop: an X server with nothing but the program on it.
# The show started from the command line fills the screen, as it does with a
# window manager. Run from the build folder; skipped (77) without Xvfb.
set -u
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || exit 77
top="$1"
display=":$((90 + $$ % 50))"
Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
home="$(mktemp -d)"
trap 'kill $quilo $xvfb 2>/dev/null; rm -rf "$home"' EXIT
quilo=""
sleep 1
DISPLAY="$display" HOME="$home" QT_QPA_PLATFORM=xcb src/app/quilo "$top/demo/Allegato/demo.txt" \
    --root "$top/demo" --disc demo/demo.cue >/dev/null 2>&1 &
quilo=$!
geometry=""
for _ in $(seq 50); do
    sleep 0.2
    geometry="$(DISPLAY="$display" xwininfo -root -tree 2>/dev/null |
        grep -i '"quilo' | grep -o '[0-9]*x[0-9]*+[0-9-]*+[0-9-]*' | sort -u | tr '\n' ' ')"
    case "$geometry" in *1280x720+0+0*) echo "the display fills the screen: $geometry"; exit 0 ;; esac
done
echo "no window of the program fills the 1280x720 screen; its windows: $geometry"
exit 1
