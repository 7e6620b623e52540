#!/bin/sh
# The studio as an author uses it, through its real window: under Xvfb with a
# window manager and a private sound server, a copy of a script is opened with
# a disc of clicks, played, three cues are timed with T while it plays, the
# last tap is undone, and the script saved. The saved file holds exactly the
# two tapped seconds and is otherwise the file it was, byte for byte, with the
# old one kept as .bak. Skipped (77) without Xvfb, openbox, xdotool or sox.
# Usage: studio_e2e.sh SOURCE_DIR (run from the build folder).
set -u
export LC_ALL=C
top="$1"
for tool in Xvfb openbox xdotool sox; do
    command -v "$tool" >/dev/null 2>&1 || { echo "no $tool"; exit 77; }
done
work=$(mktemp -d)
studio=""
cleanup() {
    [ -n "$studio" ] && kill "$studio" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    "$top/scripts/sound-server" stop "$work/sound" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
eval "$("$top/scripts/sound-server" start pulseaudio "$work/sound" 2>/dev/null | sed 's/^/export /')"
[ -n "${PULSE_SERVER:-}" ] || { echo "no sound server"; exit 77; }

mkdir -p "$work/root/Allegato" "$work/root/Quilo 1.0" "$work/disc"
printf '0\r\n0\r\n64\r\n255\r\n255\r\n255\r\n' >"$work/root/Quilo 1.0/colori.txt"
# A Windows-1252 script with CR LF ends and notes after "**".
printf '01:00:20Prima riga15C\r\n99 r   0\r\n99 g   0\r\n99 b  64\r\n99 r 255\r\n99 g 255\r\n99 b 255\r\n99:00:00 V\r\n01:00:21Citt\340 seconda14C\r\n01:00:22Terza13C\r\n**\r\nappunti: perch\350\n' \
    >"$work/root/Allegato/prova.txt"
cp "$work/root/Allegato/prova.txt" "$work/original.txt"
# One track of 30 s with a click at the start of every second.
sox -q -D -n -r 44100 -c 2 -b 16 "$work/disc/01.wav" synth 20s square 1 vol 0.9 pad 0 44080s repeat 29

. "$top/tests/support/x_desktop.sh"
start_desktop 1280x900 90
QT_QPA_PLATFORM=xcb ./quilo-studio "$work/root/Allegato/prova.txt" --root "$work/root" \
    --disc "$work/disc" >"$work/studio.log" 2>&1 &
studio=$!
window=$(xdotool search --sync --name 'prova.txt' | head -1)
[ -n "$window" ] || { echo "no window"; cat "$work/studio.log"; exit 1; }
sleep 1.5
xdotool windowactivate --sync "$window"
xdotool key --window "$window" space
for wait in 2.3 2.0 2.0; do
    sleep "$wait"
    xdotool key --window "$window" t
done
sleep 0.5
xdotool key --window "$window" ctrl+z
sleep 0.5
xdotool key --window "$window" ctrl+s
sleep 1
xdotool key --window "$window" ctrl+q 2>/dev/null
for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$studio" 2>/dev/null || break; sleep 0.5; done
kill -0 "$studio" 2>/dev/null && { echo "the studio did not close after saving"; exit 1; }
studio=""

fail=0
cmp -s "$work/root/Allegato/prova.txt.bak" "$work/original.txt" || { echo "no backup"; fail=1; }
saved="$work/root/Allegato/prova.txt"
# Everything but the two tapped stamps is the original, byte for byte.
first=$(head -c 8 "$saved")
second=$(sed -n 9p "$saved" | head -c 8)
expected=$(printf '%s' "$(cat "$work/original.txt")" | sed "1s/^01:00:20/$first/;9s/^01:00:21/$second/")
[ "$(cat "$saved")" = "$expected" ] || { echo "other bytes changed"; fail=1; }
[ "$(wc -c <"$saved")" = "$(wc -c <"$work/original.txt")" ] || { echo "size changed"; fail=1; }
sed -n 10p "$saved" | grep -q '^01:00:22Terza13C' || { echo "the undone tap stayed"; fail=1; }
s1=${first#01:00:}
s2=${second#01:00:}
case "$s1" in 0[1-3]) ;; *) echo "first tap at $first"; fail=1 ;; esac
case "$s2" in 0[3-5]) ;; *) echo "second tap at $second"; fail=1 ;; esac
[ "$s2" -gt "$s1" ] 2>/dev/null || { echo "taps out of order: $first $second"; fail=1; }
echo "taps: $first $second"
[ $fail -eq 0 ] || { od -c "$saved" | head -20; cat "$work/studio.log"; }
exit $fail
