#!/usr/bin/env bash
# How much faster than real time quilo-export turns the demo into video, at
# 1280x720 and 1920x1080 (30 fps), and how long its storyboard takes.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
export="build/src/app/quilo-export demo/Allegato/demo.txt --root demo --disc build/demo/demo.cue"
# The show's length: from Play to its last cue's stop, as the simulation reports it.
show_ms="$(build/src/app/quilo-sim demo/Allegato/demo.txt --root demo --disc build/demo/demo.cue \
  | tail -1 | sed 's/.*"ms":\([0-9]*\).*/\1/')"
for size in 1280x720 1920x1080; do
  start=$(date +%s%N)
  $export -o "$out/demo.mp4" --size "$size" 2>/dev/null
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "$size: show $((show_ms / 1000)) s exported in $((ms / 1000)).$(( (ms % 1000) / 100 )) s = $(( show_ms * 10 / ms / 10 )).$(( show_ms * 10 / ms % 10 ))x real time"
done
start=$(date +%s%N)
$export --storyboard "$out/board" 2>/dev/null
echo "storyboard: $(( ($(date +%s%N) - start) / 1000000 )) ms, $(ls "$out/board" | grep -c png) pictures"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
