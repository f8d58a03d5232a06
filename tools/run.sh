#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds the release preset and runs Tarnwick. Without a display it
# runs the program on a virtual one (Xvfb, with trayer as the tray that holds
# the status item) and stops both when the program ends.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/setup.sh" release tarnwick

if [[ "$(uname -s)" == Darwin ]]; then
  # Launched through the bundle so that the status item and the logo are found.
  exec "$root/build/release/bin/Tarnwick.app/Contents/MacOS/Tarnwick"
fi

binary="$root/build/release/bin/tarnwick"
runtimeDir=""
source "$root/tools/xsession.sh"

# shellcheck disable=SC2317  # run by the EXIT trap
stop_helpers() {
  xsession_stop
  if [[ -n "$runtimeDir" ]]; then
    rm -rf "$runtimeDir"
  fi
}
trap stop_helpers EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  xsession_start 1920x1080 || { echo "tools/run.sh: Xvfb did not start" >&2; exit 1; }
  echo "tools/run.sh: no display found; running Tarnwick on the virtual display $DISPLAY" \
    "(Xvfb, with trayer as the tray). Stop it with Ctrl+C." >&2
  if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    # Qt warns on every start without one; give it a private runtime folder.
    runtimeDir="$(mktemp -d)"
    export XDG_RUNTIME_DIR="$runtimeDir"
  fi
fi

# Run in the background and wait, so that Ctrl+C or a TERM sent to this script
# reaches the program at once and the virtual display is stopped after it.
"$binary" &
program=$!
trap 'kill -TERM "$program" 2> /dev/null || true' INT TERM
status=0
wait "$program" || status=$?
if kill -0 "$program" 2> /dev/null; then
  status=0
  wait "$program" || status=$?
fi
exit "$status"
