#!/bin/sh
# Runs a command with a private sound server of the kind named (pulseaudio or
# pipewire) as the process's server, and stops the server afterwards. Exits
# 77 (skipped) when that server cannot be started here.
#
# QUILO_SOUND_TRIES (default 1) runs the command again, each time with a new
# server, when it fails: PipeWire's graph on a virtual machine now and then
# falls behind real time for a moment, whatever its clients do. Every
# attempt's output is kept in the log.
kind="$1"
shift
top="$(cd "$(dirname "$0")/.." && pwd)"
tries="${QUILO_SOUND_TRIES:-1}"
attempt=1
while :; do
  dir="$(mktemp -d /tmp/quilo-sound.XXXXXX)"
  if ! server="$("$top/scripts/sound-server" start "$kind" "$dir/server")"; then
    rm -rf "$dir"
    echo "no $kind server could be started: skipped"
    exit 77
  fi
  (for setting in $server; do export "$setting"; done; QUILO_SOUND_SERVER="$kind" "$@")
  status=$?
  "$top/scripts/sound-server" stop "$dir/server"
  rm -rf "$dir"
  [ $status -eq 0 ] || [ $attempt -ge "$tries" ] && exit $status
  echo "under_sound_server: attempt $attempt of $tries failed under $kind; again with a new server"
  attempt=$((attempt + 1))
done
