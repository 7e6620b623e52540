#!/usr/bin/env bash
# Start-up time and CPU of the real program playing the demo for 30 s under Xvfb.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
Xvfb :77 -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb' EXIT
sleep 1
DISPLAY=:77 build/bench/app_measure "$(date +%s%N)" --root demo --disc build/demo/demo.cue 2>/dev/null
