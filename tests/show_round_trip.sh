#!/usr/bin/env bash
# A show packed at home (a root whose files are named in other letter case
# than the script writes, and a CD image) plays the same on a "new" machine:
# another HOME, no root, no disc. The simulation's trace and the storyboard
# are compared byte for byte.
set -euo pipefail
top="$1"
build="$2"
bin="$build/src/app"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
home="$work/casa"
mkdir -p "$home"
cp -r "$top/demo" "$home/Quilo"
cp "$top/docs/copione/mostra.txt" "$home/Quilo/Allegato/"
mv "$home/Quilo/Allegato/alba.png" "$home/Quilo/Allegato/ALBA.PNG"
mv "$home/Quilo/Allegato" "$home/Quilo/allegato"
script="$home/Quilo/allegato/mostra.txt"
disc="$build/demo/demo.cue"

HOME="$home" "$bin/quilo-sim" "$script" --disc "$disc" >"$work/casa.json"
HOME="$home" "$bin/quilo-export" "$script" --disc "$disc" --storyboard "$work/casa-board" >/dev/null
HOME="$home" "$bin/quilo-pack" "$script" --disc "$disc" --music -o "$work/mostra.quilo" >/dev/null
"$bin/quilo-pack" --verify "$work/mostra.quilo" >/dev/null

sala="$work/sala"
mkdir -p "$sala"
cp "$work/mostra.quilo" "$sala/"
HOME="$sala" XDG_CACHE_HOME= "$bin/quilo-sim" "$sala/mostra.quilo" >"$work/sala.json"
HOME="$sala" XDG_CACHE_HOME= "$bin/quilo-export" "$sala/mostra.quilo" --storyboard "$work/sala-board" >/dev/null
cmp "$work/casa.json" "$work/sala.json"
diff -r "$work/casa-board" "$work/sala-board"
# The player looks for C:\Allegato\alba.png: the show carries it under that name.
"$bin/quilo-pack" --list "$work/mostra.quilo" | grep -q "Allegato/alba.png"
test -d "$sala/.cache/quilo/spettacoli"
echo "same trace ($(wc -l <"$work/sala.json") cues) and storyboard ($(ls "$work/sala-board" | wc -l) files)"
