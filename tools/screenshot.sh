#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the README's picture of the window: the release build on a private X
# server, twelve texts copied from another application, "Settings" chosen from
# the status menu, and the window cut out of the screen. With --openbox the
# window runs under openbox and is taken with its frame, at 400 and at 300 px
# wide (the header on one line and stacked).
#   bash tools/screenshot.sh [output.png]       (default: docs/window.png)
#   bash tools/screenshot.sh --openbox          (docs/window-openbox-{400,300}.png)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
openbox=false
[[ "${1:-}" == --openbox ]] && { openbox=true; shift; }
output="${1:-$root/docs/window.png}"
bash "$root/tools/setup.sh" release tarnwick > /dev/null
command -v import > /dev/null || { echo "needs ImageMagick (Debian: imagemagick)" >&2; exit 1; }
source "$root/tools/xsession.sh"
trap xsession_stop EXIT

# A screen lower than the window, so the window is clamped to a README-sized height.
xsession_start 1280x720
if $openbox; then
  XDG_CONFIG_HOME="$(mktemp -d)" openbox --sm-disable > /dev/null 2>&1 &
  xsession_pids=("$!" "${xsession_pids[@]}")
  xsession_wait 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
fi
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
"$root/build/release/bin/tarnwick" > /dev/null 2>&1 &
xsession_pids=("$!" "${xsession_pids[@]}")
xsession_wait 100 xsession_status_icon

copy() {
  printf '%s' "$1" | xclip -selection clipboard -i
  sleep 0.6  # one polling interval and more, so each copy is its own entry
}
copy "git log --oneline --graph --all"
copy "ssh deploy@build-01.internal"
copy $'Dear Sam,\nthe meeting moved to Thursday, 10:30.\nSee you there!'
copy "https://example.org/tarnwick/docs"
copy "Order #48213 ships on Monday"
copy "The quick brown fox jumps over the lazy dog, then runs all the way around the barn, past the pond and the old mill, and back again before the farmer even notices that anything happened at all."
copy "kubectl get pods -n staging"
copy "+44 20 7946 0958"
copy "SELECT id, name FROM customers WHERE active = 1;"
copy "Grüße aus Köln, naïve café — שלום"
copy "tarnwick-0.1.0.tar.gz"
copy "Tarnwick keeps what you copy."
xsession_open_settings
sleep 1

window="$(xdotool search --onlyvisible --name '^Tarnwick$' | head -1)"
mkdir -p "$(dirname "$output")"
if ! $openbox; then
  import -window "$window" "$output"
  echo "wrote $output" >&2
  exit 0
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
for width in 400 300; do
  xdotool windowsize "$window" "$width" "$HEIGHT"
  sleep 1
  import -frame -window "$window" "$root/docs/window-openbox-$width.png"
  echo "wrote docs/window-openbox-$width.png" >&2
done
