#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the release build's resident memory at start and its CPU use while
# idle with the window open, on a private X server.
#   bash tools/measure-idle.sh [seconds]      (default: 60)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
binary="$root/build/release/bin/tarnwick"
bash "$root/tools/setup.sh" release tarnwick > /dev/null
source "$root/tools/xsession.sh"
trap xsession_stop EXIT

xsession_start 1280x1024
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
"$binary" > /dev/null 2>&1 &
pid=$!
xsession_pids=("$pid" "${xsession_pids[@]}")

xsession_wait 100 xsession_status_icon
echo "resident memory at start: $(awk '/^VmRSS/ { print $2, $3 }' "/proc/$pid/status")"
xsession_open_settings
sleep 2  # let the window settle before counting
echo "resident memory with the window open: $(awk '/^VmRSS/ { print $2, $3 }' "/proc/$pid/status")"

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# Per thread: "tid name ticks", to tell the polling thread from the main loop.
threadTicks() {
  local task
  for task in /proc/"$pid"/task/*; do
    echo "${task##*/} $(tr ' ' '_' < "$task/comm") $(awk '{ print $14 + $15 }' "$task/stat")"
  done
}
hz="$(getconf CLK_TCK)"
before="$(ticks)"
threadsBefore="$(threadTicks)"
sleep "$seconds"
after="$(ticks)"
join <(echo "$threadsBefore" | sort) <(threadTicks | sort) |
  awk '{ printf "  thread %s (%s): %d ticks\n", $1, $2, $5 - $3 }'
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "idle CPU over %d s with the window open: %d ticks = %.3f s = %.4f %% of one core\n",
    s, t, t / hz, 100 * t / hz / s }'
