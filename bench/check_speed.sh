#!/usr/bin/env bash
# How long quilo-check takes on the demo and on the longest script there can
# be: 1985 cues over three tracks of 33 minutes (a picture every third cue),
# which it also plays through in virtual time to find hidden captions.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/Allegato"
cp -r "demo/Quilo 1.0" "$root/"
cp demo/Allegato/*.png "$root/Allegato/"
python3 - "$root/Allegato/lungo.txt" <<'PY'
import sys
lines = ["01:00:01Inizio12C"] + ["99 x %3d" % v for v in (0, 0, 64, 255, 255, 0)] + ["99:00:00 V"]
pictures = ["alba.png", "collina.png", "torre.png", "mare.png"]
n = 0
for track in (1, 2, 3):
    for second in range(3, 33 * 60, 3):
        if len(lines) >= 1992:
            break
        m, s = divmod(second, 60)
        if n % 3 == 0:
            lines.append("%02d:%02d:%02d%sM" % (track, m, s, pictures[n % 4]))
        else:
            lines.append("%02d:%02d:%02dRiga %d14C" % (track, m, s, n))
        n += 1
lines.append("**")
open(sys.argv[1], "w").write("\r\n".join(lines) + "\r\n")
PY
for run in "demo/Allegato/demo.txt --root demo" "$root/Allegato/lungo.txt --root $root"; do
  start=$(date +%s%N)
  summary="$(build/src/app/quilo-check $run | tail -1)"
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "${summary##*/}: ${ms} ms"
done
