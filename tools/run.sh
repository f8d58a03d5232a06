#!/usr/bin/env bash
# Sets up, builds the release preset and runs Tarnwick. Without a display it
# runs the program on a virtual one (Xvfb, with trayer as the tray that holds
# the status item) and stops both when the program ends.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/setup.sh" release tarnwick

if [[ "$(uname -s)" == Darwin ]]; then
  # Launched through the bundle so that the status item and the logo are found.
  exec "$root/build/release/bin/tarnwick.app/Contents/MacOS/tarnwick"
fi

binary="$root/build/release/bin/tarnwick"
helpers=()
runtimeDir=""

stop_helpers() {
  local pid
  for pid in "${helpers[@]}"; do
    kill "$pid" 2> /dev/null || true
  done
  for pid in "${helpers[@]}"; do
    wait "$pid" 2> /dev/null || true
  done
  if [[ -n "$runtimeDir" ]]; then
    rm -rf "$runtimeDir"
  fi
}

start_virtual_display() {
  local numberFile
  numberFile="$(mktemp)"
  # -displayfd lets Xvfb pick a free display and write its number once it is ready.
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> "$numberFile" 2> /dev/null &
  helpers+=("$!")
  local tries=0
  until [[ -s "$numberFile" ]]; do
    if ((++tries > 100)) || ! kill -0 "${helpers[0]}" 2> /dev/null; then
      echo "tools/run.sh: Xvfb did not start" >&2
      rm -f "$numberFile"
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(tr -d '[:space:]' < "$numberFile")"
  rm -f "$numberFile"
  trayer --edge top --align right --widthtype request --heighttype pixel --height 32 \
    > /dev/null 2>&1 &
  helpers+=("$!")
  echo "tools/run.sh: no display found; running Tarnwick on the virtual display $DISPLAY" \
    "(Xvfb, with trayer as the tray). Stop it with Ctrl+C." >&2
}

trap stop_helpers EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  start_virtual_display
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
