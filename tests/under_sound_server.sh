#!/bin/sh
# Runs a command with a private sound server of the kind named (pulseaudio or
# pipewire) as the process's server, and stops the server afterwards. Exits
# 77 (skipped) when that server cannot be started here.
kind="$1"
shift
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(mktemp -d /tmp/quilo-sound.XXXXXX)"
if ! server="$("$top/scripts/sound-server" start "$kind" "$dir/server")"; then
  rm -rf "$dir"
  echo "no $kind server could be started: skipped"
  exit 77
fi
export "$server"
QUILO_SOUND_SERVER="$kind" "$@"
status=$?
"$top/scripts/sound-server" stop "$dir/server"
rm -rf "$dir"
exit $status
