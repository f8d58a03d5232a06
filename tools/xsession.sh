# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Helpers for scripts that drive Tarnwick on a private X server; source it.
# Everything started here is stopped by xsession_stop (set as the EXIT trap).

xsession_pids=()

xsession_stop() {
  local pid
  for pid in "${xsession_pids[@]}"; do
    kill "$pid" 2> /dev/null || true
  done
  for pid in "${xsession_pids[@]}"; do
    wait "$pid" 2> /dev/null || true
  done
  xsession_pids=()
}

# Starts Xvfb on a free display and trayer as its tray; exports DISPLAY.
xsession_start() {
  local numberFile tries=0
  numberFile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3> "$numberFile" 2> /dev/null &
  xsession_pids+=("$!")
  until [[ -s "$numberFile" ]]; do
    ((++tries > 100)) && { echo "Xvfb did not start" >&2; return 1; }
    sleep 0.1
  done
  DISPLAY=":$(tr -d '[:space:]' < "$numberFile")"
  export DISPLAY
  rm -f "$numberFile"
  trayer --edge top --align right --widthtype request --heighttype pixel --height 32 \
    --SetDockType true --SetPartialStrut true \
    > /dev/null 2>&1 &
  xsession_pids+=("$!")
  sleep 0.5
}

# Polls a command until it succeeds, for at most $1 tenths of a second.
xsession_wait() {
  local tenths="$1" i
  shift
  for ((i = 0; i < tenths; ++i)); do
    "$@" > /dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Prints "X Y" of the centre of Tarnwick's status icon in trayer's panel.
xsession_status_icon() {
  local panel window
  panel="$(xdotool search --onlyvisible --name '^panel$' | head -1)"
  [[ -n "$panel" ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$panel" | sed 's/^/P/')"
  for window in $(xdotool search --onlyvisible --class '^tarnwick$'); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
    if ((cx >= PX && cx < PX + PWIDTH && cy >= PY && cy < PY + PHEIGHT)); then
      echo "$cx $cy"
      return 0
    fi
  done
  return 1
}

# Opens the status menu and chooses its first item, "Settings".
xsession_open_settings() {
  local icon before window
  xsession_wait 100 xsession_status_icon || { echo "no status icon" >&2; return 1; }
  icon="$(xsession_status_icon)"
  before="$(xdotool search --onlyvisible --class '^tarnwick$' | sort)"
  # shellcheck disable=SC2086  # "x y": split into two arguments on purpose
  xdotool mousemove --sync ${icon} click 1
  for _ in $(seq 50); do
    window="$(comm -13 <(echo "$before") \
      <(xdotool search --onlyvisible --class '^tarnwick$' | sort) | head -1)"
    [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] || { echo "no status menu" >&2; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # Two items share the menu's height: the first one's middle is a quarter down.
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 4)) click 1
  xsession_wait 100 xdotool search --onlyvisible --name '^Tarnwick$'
}
