#!/usr/bin/env bash
# Measures quilo-studio on a full 74-minute disc, as a BIN/CUE image and as a
# folder of FLAC tracks (18 tracks of pink noise, made with sox), with a
# 2001-line script spread over it: the waveform's reading time and the event
# loop meanwhile, scrubbing, the key-to-list latency of an edit, CPU idle and
# playing, peak memory (build/bench/studio_measure). Then the same on the BIN
# with a 5 MB script (2001 lines of long captions). Playing needs a sound server: one is started.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
work="$(mktemp -d)"
trap '"$top/scripts/sound-server" stop "$work/sound" >/dev/null 2>&1; rm -rf "$work"' EXIT
eval "$("$top/scripts/sound-server" start pulseaudio "$work/sound" | sed 's/^/export /')"
mkdir -p "$work/root/Allegato" "$work/flac"
cp -r "demo/Quilo 1.0" "$work/root/"
cp demo/Allegato/*.png "$work/root/Allegato/"
tracks=18
seconds=$((74 * 60 / tracks))  # 246 s each
for t in $(seq -w 1 $tracks); do
    sox -q -n -r 44100 -c 2 -b 16 "$work/flac/$t.flac" synth "$seconds" pinknoise vol 0.3 &
    [ $((10#$t % 2)) -eq 0 ] && wait
done
wait
# The image: the same tracks as raw CD samples in one BIN, little-endian.
{
    echo "FILE \"disco.bin\" BINARY"
    for t in $(seq 1 $tracks); do
        start=$(((t - 1) * seconds))
        printf '  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:00\n' "$t" $((start / 60)) $((start % 60))
    done
} >"$work/disco.cue"
for t in $(seq -w 1 $tracks); do sox -q "$work/flac/$t.flac" -t raw -e signed -b 16 -L -; done \
    >"$work/disco.bin"
python3 - "$work/root/Allegato/lungo.txt" "$tracks" "$seconds" <<'PY'
import sys
path, tracks, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
lines = ["01:00:01Inizio12C"] + ["99 x %3d" % v for v in (0, 0, 64, 255, 255, 0)] + ["99:00:00 V"]
pictures = ["alba.png", "collina.png", "torre.png", "mare.png"]
n = 0
step = max(1, tracks * seconds // 1990)
for track in range(1, tracks + 1):
    for second in range(2, seconds - 1, step):
        if len(lines) >= 2000:
            break
        m, s = divmod(second, 60)
        lines.append("%02d:%02d:%02d%s" % (track, m, s, (pictures[n % 4] + "M") if n % 3 == 0 else "Riga %d14C" % n))
        n += 1
lines.append("**")
open(path, "w").write("\r\n".join(lines) + "\r\n")
# The same cues with captions 3 800 characters long: about 5 MB.
long = [l[:8] + ("Didascalia lunga " * 250)[:3800] + "14C" if l[:2] not in ("99", "**") and l.endswith("C") else l for l in lines]
open(path.replace("lungo", "grosso"), "w").write("\r\n".join(long) + "\r\n")
PY
for run in "lungo disco.cue" "lungo flac" "grosso disco.cue"; do
    set -- $run
    script="$work/root/Allegato/$1.txt"
    echo "== $2, $(wc -l <"$script") lines, $(($(wc -c <"$script") / 1024)) KB"
    QT_QPA_PLATFORM=offscreen build/bench/studio_measure "$script" --root "$work/root" \
        --disc "$work/$2"
done
