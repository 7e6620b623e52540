#!/usr/bin/env bash
# A show file made by the installed quilo-pack is known by its type from the
# installed MIME package, a double click opens it with the player, and the
# studio is among the programs that open it.
set -euo pipefail
prefix="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
update-mime-database "$prefix/share/mime" 2>/dev/null
update-desktop-database "$prefix/share/applications"
export XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache" XDG_CURRENT_DESKTOP= PATH="$prefix/bin:$PATH"
demo="$prefix/share/quilo/demo"
"$prefix/bin/quilo-pack" "$demo/Allegato/demo.txt" --root "$demo" -o "$work/Sala grande.quilo" >/dev/null
type="$(xdg-mime query filetype "$work/Sala grande.quilo")"
[ "$type" = application/x-quilo-show ] || { echo "type: $type"; exit 1; }
default="$(xdg-mime query default application/x-quilo-show)"
[ "$default" = quilo.desktop ] || { echo "default: $default"; exit 1; }
grep -q '^application/x-quilo-show=.*quilo-studio.desktop' "$prefix/share/applications/mimeinfo.cache"
test -s "$prefix/share/icons/hicolor/scalable/mimetypes/application-x-quilo-show.svg"
"$prefix/bin/quilo-check" "$work/Sala grande.quilo" | grep -q '0 errori'
