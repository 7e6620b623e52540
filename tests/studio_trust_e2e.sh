#!/bin/sh
# The studio never loses nor silently changes an author's work, tried through
# its real window as an author would: under Xvfb (a 1024 x 768 screen) with a
# window manager, keys typed with xdotool. Each case names what it protects.
# Skipped (77) without Xvfb, openbox, xdotool or ImageMagick.
# Usage: studio_trust_e2e.sh SOURCE_DIR (run from the programs' folder).
set -u
export LC_ALL=C.UTF-8
top="$1"
for tool in Xvfb openbox xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "no $tool"; exit 77; }
done
studio_bin="$(pwd)/quilo-studio"
work=$(mktemp -d)
studio=""
cleanup() {
    [ -n "$studio" ] && kill -9 "$studio" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_STATE_HOME="$work/state" HOME="$work/home" PULSE_SERVER=unix:/nonexistent
mkdir -p "$HOME"
. "$top/tests/support/x_desktop.sh"
start_desktop 1024x768 150

fail=0
failed() { echo "FAIL: $*"; fail=1; }
root="$work/root"
script="$root/Allegato/prova.txt"
# A Windows-1252 script with CR LF ends: a caption, the header, a pause of
# 30 s with its block, a caption, and notes after "**".
fresh_script() {
    rm -rf "$root" "$XDG_STATE_HOME"
    mkdir -p "$root/Allegato" "$root/Quilo 1.0"
    printf '0\r\n0\r\n64\r\n255\r\n255\r\n255\r\n' >"$root/Quilo 1.0/colori.txt"
    printf '01:00:01Titolo15C\r\n99 r   0\r\n99 g   0\r\n99 b  64\r\n99 r 255\r\n99 g 255\r\n99 b 255\r\n99:00:00 V\r\n01:00:10Pausa lunga30S\r\n01:00:12P\r\n01:00:15Citt\340 dopo12C\r\n**\r\nappunti: pi\303\271 tardi\r\n' \
        >"$script"
    cp "$script" "$work/original.txt"
}
start() {  # start SCRIPT-NAME-IN-TITLE [ARGS...]
    title="$1"
    shift
    QT_QPA_PLATFORM=xcb "$studio_bin" "$@" --root "$root" --tracks 60 >>"$work/studio.log" 2>&1 &
    studio=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -1)
    [ -n "$window" ] || { failed "no window named $title"; return 1; }
    sleep 1
    xdotool windowactivate --sync "$window" 2>/dev/null
}
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done; }
type_text() { xdotool type --delay 90 "$1"; sleep 0.3; }
quit_discarding() {  # Ctrl+Q, then "Non salvare" if asked
    keys ctrl+q
    sleep 0.5
    if kill -0 "$studio" 2>/dev/null; then keys Tab Return; fi
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$studio" 2>/dev/null || break; sleep 0.3; done
    kill -9 "$studio" 2>/dev/null
    studio=""
}
# The form's fields from the list, in the order Tab visits them.
to_text_field() { keys Tab Tab Tab Tab; }
line() { sed -n "$1p" "$2" | tr -d '\r'; }

# 1. A new script never replaces a file without a question, and "prova.txt"
#    names prova.txt.
fresh_script
start prova.txt "$script"
keys ctrl+n
sleep 0.5
keys ctrl+a
type_text "prova.txt"
keys Return
sleep 0.5
keys Escape  # "Esiste già …": Annulla
sleep 0.5
cmp -s "$script" "$work/original.txt" || failed "1: the existing script was replaced without a question"
[ -e "$script.txt" ] && failed "1: prova.txt.txt was made"
keys ctrl+n
sleep 0.5
keys ctrl+a
type_text "prova"
keys Return
sleep 0.5
keys Return  # Sostituisci
for k in Return Return Escape Return; do sleep 0.7; keys "$k"; done
sleep 1
cmp -s "$script.bak" "$work/original.txt" || failed "1: the replaced script was not kept as .bak"
grep -q '^01:00:01prova99C' "$script" || failed "1: the new script was not written"
quit_discarding

# 2. Text typed in a field and not confirmed is saved by Ctrl+S, and Ctrl+Q
#    asks before dropping it.
fresh_script
start prova.txt "$script"
to_text_field
type_text "Nuovo titolo"
keys ctrl+s
sleep 0.5
[ "$(line 1 "$script")" = "01:00:01Nuovo titolo15C" ] || failed "2: the typed text was not saved: $(line 1 "$script")"
keys ctrl+a
type_text "Mai confermato"
keys ctrl+q
sleep 0.7
kill -0 "$studio" 2>/dev/null || failed "2: Ctrl+Q quit without asking about the typed text"
keys Return  # Salva
sleep 1
kill -0 "$studio" 2>/dev/null && failed "2: the studio did not quit after saving"
grep -q 'Mai confermato' "$script" || failed "2: the text typed before Ctrl+Q was lost"
studio=""

# 3. Editing a pause line's text keeps its 30 seconds; a pause of 75 s can be set.
fresh_script
start prova.txt "$script"
keys Down Down Down Down Down Down Down Down
to_text_field
type_text "Pausa molto lunga"
keys Return Tab Tab
type_text "75"
keys Return ctrl+s
sleep 0.5
[ "$(line 9 "$script")" = "01:00:10Pausa molto lunga75S" ] || failed "3: the pause line became $(line 9 "$script")"
quit_discarding

# 4. T in the letter box times the line; Ctrl+Z there undoes it.
fresh_script
start prova.txt "$script"
keys Tab Tab Tab B
sleep 0.3
keys t
sleep 0.3
keys ctrl+s
sleep 0.5
[ "$(line 1 "$script")" = "01:00:00Titolo15B" ] || failed "4: T from the letter box gave $(line 1 "$script")"
keys ctrl+z ctrl+s
sleep 0.5
[ "$(line 1 "$script")" = "01:00:01Titolo15B" ] || failed "4: Ctrl+Z from the letter box gave $(line 1 "$script")"
quit_discarding

# 5. A read-only script is refused with the reason and stays read-only.
fresh_script
chmod 0444 "$script"
start prova.txt "$script"
keys alt+Right ctrl+s
sleep 0.5
cmp -s "$script" "$work/original.txt" || failed "5: the read-only script was replaced"
[ "$(stat -c %a "$script")" = 444 ] || failed "5: the script's mode became $(stat -c %a "$script")"
grep -q 'sola lettura' "$work/studio.log" || failed "5: no reason given"
import -window root "$work/banner.png" 2>/dev/null &&
    { convert "$work/banner.png" -format %c histogram:info:- | grep -qi '7A1F1F' ||
        failed "5: the refusal is not on the banner"; }

# 6. ... and Ctrl+Maiusc+S saves the edit elsewhere.
keys ctrl+shift+s
sleep 1
keys ctrl+a
type_text "$root/Allegato/copia.txt"
keys Return
sleep 1
[ "$(line 1 "$root/Allegato/copia.txt")" = "01:00:02Titolo15C" ] || failed "6: Save As did not write the edit"
xdotool search --onlyvisible --name 'copia.txt' >/dev/null || failed "6: the window does not name the new file"
quit_discarding
chmod 0644 "$script"

# 7. A new Windows-1252 script keeps its encoding: "Città" is written in it.
fresh_script
start prova.txt "$script"
keys ctrl+n
sleep 0.5
keys ctrl+a
type_text "nuovo"
keys Return
for k in Return Return Escape Return; do sleep 0.7; keys "$k"; done
sleep 1
to_text_field
type_text "Città"
keys Return ctrl+s
sleep 0.5
[ "$(sed -n 1p "$root/Allegato/nuovo.txt")" = "$(printf '01:00:01Citt\34099C\r')" ] ||
    failed "7: not written in Windows-1252: $(sed -n 1p "$root/Allegato/nuovo.txt" | od -c | head -2)"
quit_discarding

# 8. Converted to UTF-8, the script keeps its notes' bytes.
fresh_script
start prova.txt "$script"
to_text_field
type_text "Ωmega"
keys Return ctrl+s
sleep 0.7
keys Return  # Salva in UTF-8
sleep 0.7
tail -c 20 "$script" | cmp -s - "$(tail -c 20 "$work/original.txt" >"$work/notes"; echo "$work/notes")" ||
    failed "8: the notes changed: $(tail -c 20 "$script" | od -c | head -2)"
grep -q "$(printf '01:00:01\316\251mega15C')" "$script" || failed "8: the line was not written in UTF-8"
quit_discarding

# 9. A SIGTERM or a crash keeps the unsaved edits, offered at the next start.
for how in TERM KILL; do
    fresh_script
    start prova.txt "$script"
    keys alt+Right
    sleep 3
    kill -"$how" "$studio"
    sleep 0.5
    studio=""
    start prova.txt "$script"
    sleep 0.5
    keys Return  # Recupera
    keys ctrl+s
    sleep 0.5
    [ "$(line 1 "$script")" = "01:00:02Titolo15C" ] || failed "9: the edit was lost after SIG$how"
    quit_discarding
done
# A script removed by another program is not silently written again.
fresh_script
start prova.txt "$script"
keys alt+Right
rm "$script"
sleep 0.5
keys ctrl+s
sleep 0.7
keys Escape  # Annulla
sleep 0.3
[ -e "$script" ] && failed "9: the removed script was written again without a question"
quit_discarding

# 10. On a 768-pixel screen the whole window, status line included, is in
#     view; a refused script says why on the banner.
fresh_script
printf '01:00:01Senza fine15C\r\n' >"$script"
start prova.txt "$script"
bottom=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {y = $4} /Height/ {h = $2} END {print y + h}')
[ "$bottom" -le 768 ] || failed "10: the window reaches y=$bottom on a 768-pixel screen"
import -window root "$work/refused.png"
convert "$work/refused.png" -format %c histogram:info:- | grep -qi '7A1F1F' ||
    failed "10: a refused script shows no banner"
quit_discarding

[ $fail -eq 0 ] || { cp "$work"/*.png /tmp/ 2>/dev/null; cat "$work/studio.log"; }
exit $fail
