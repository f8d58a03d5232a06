#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the release preset and prints one table of Tarnwick's figures beside
# those of a peer clipboard manager (CopyQ), measured here on private Xvfb
# displays: idle CPU with 0 and with N entries, memory per entry, copy to
# history latency, hot key to paste chord, the window shown from the status
# menu until painted, the main-thread cost of adding an entry, the idle cost
# with a small and a large text on the clipboard (those four from outside, by
# the Python scripts in bench/ on tests/e2e/harness.py), and the load run
# (bench/load_run.py: copies as fast as the clipboard takes them).
#
#   bash tools/bench.sh            full run (60 s idle windows, 1,000 entries; ~10 min)
#   bash tools/bench.sh --quick    short run to try it out (10 s windows, 100 entries)
#
# The table is also written to build/release/bench-results.md. Absolute times
# depend on the machine and on whatever else runs on it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
quick=0
[[ "${1:-}" == "--quick" ]] && quick=1

if ((quick)); then
  idle_seconds=10 entries=100 latency_copies=15 pass_seconds=2 presses=100 repetitions=3 shows=5
  load_copies=200
else
  idle_seconds=60 entries=1000 latency_copies=60 pass_seconds=5 presses=1000 repetitions=5 shows=20
  load_copies=1000
fi
copy_spacing=0.27 # just over the 0.25 s polling floor, so no copy is skipped

say() { echo "tools/bench.sh: $*" >&2; }

# --- set-up -------------------------------------------------------------------

if [[ -n "${TARNWICK_BENCH_BIN:-}" ]]; then
  bin="$TARNWICK_BENCH_BIN" # an existing release build, for working on this script
else
  bash "$root/tools/setup.sh" release
  bin="$root/build/release/bin"
fi
# Packages only the measurements need, not the tests: the peer is only a
# yardstick (installed, run and queried through its command line); grim takes
# the screenshots of bench/wayland_drawn_latency.py on sway.
for package in copyq grim; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2> /dev/null | grep -qx installed; then
    say "installing $package"
    export DEBIAN_FRONTEND=noninteractive
    if [[ "$(id -u)" -eq 0 ]]; then apt-get install -y -q --no-install-recommends "$package" > /dev/null; else
      sudo apt-get install -y -q --no-install-recommends "$package" > /dev/null; fi
  fi
done

work="$(mktemp -d /tmp/tarnwick-bench-XXXXXX)"
helpers=()
cleanup() {
  local pid i
  # Newest first: the programs end before their X servers.
  for ((i = ${#helpers[@]} - 1; i >= 0; --i)); do
    pid=${helpers[i]}
    kill -TERM -- "-$pid" 2> /dev/null || kill "$pid" 2> /dev/null || true
  done
  for pid in "${helpers[@]}"; do wait "$pid" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
results="$work/results"
: > "$results"
put() { echo "$1=$2" >> "$results"; }
get() { awk -F= -v k="$1" '$1 == k { v = substr($0, length(k) + 2) } END { print (v == "" ? "n/a" : v) }' "$results"; }

# The two programs' displays, set by start_xvfb.
tarnwick_display="" copyq_display=""

# Starts an Xvfb on a free display in its own process group; sets the
# variable named $1 to ":N".
# shellcheck disable=SC2034  # display_var names the caller's variable
start_xvfb() {
  local -n display_var="$1"
  local numberFile="$work/display.$RANDOM"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$numberFile" 2> /dev/null &
  helpers+=("$!")
  local tries=0
  until [[ -s "$numberFile" ]]; do
    ((++tries > 100)) && { say "Xvfb did not start"; return 1; }
    sleep 0.1
  done
  display_var=":$(tr -d '[:space:]' < "$numberFile")"
}

# --- /proc readings -------------------------------------------------------------

# A program and the processes it started (CopyQ runs a clipboard monitor child).
family() {
  local pid child
  for pid in "$@"; do
    echo "$pid"
    for child in $(pgrep -P "$pid" || true); do family "$child"; done
  done
}
cpu_ticks() { # utime + stime, in clock ticks
  local pid total=0
  for pid in $(family "$@"); do
    total=$((total + $(awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat" 2> /dev/null || echo 0)))
  done
  echo "$total"
}
thread_ns() { # "tid nanoseconds-on-CPU" for every thread (finer than ticks)
  local pid file
  for pid in $(family "$@"); do
    for file in /proc/"$pid"/task/*/schedstat; do
      [[ -r "$file" ]] && echo "${file//[^0-9]/ } $(awk '{ print $1 }' "$file" 2> /dev/null)"
    done
  done | awk 'NF >= 2 { print $(NF - 1), $NF }'
}
# CPU nanoseconds spent between two thread_ns readings; a thread that ended
# in between takes its time along (a slight under-count, never negative).
ns_between() {
  awk 'FNR == NR { start[$1] = $2; next } { total += $2 - ($1 in start ? start[$1] : 0) } END { print total + 0 }' "$1" "$2"
}
rss_kb() {
  local pid total=0
  for pid in $(family "$@"); do
    total=$((total + $(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || echo 0)))
  done
  echo "$total"
}

# Idle CPU of two programs side by side over one window: the total from
# utime+stime, and the min-max over six slices of it from the threads'
# nanosecond counters. Records <key>_<name>_pct and <key>_<name>_range.
measure_idle() {
  local key="$1" slices=6 slice ticks0a ticks0b
  slice=$(awk -v s="$idle_seconds" -v n="$slices" 'BEGIN { print s / n }')
  ticks0a=$(cpu_ticks "$tarnwick_pid")
  ticks0b=$(cpu_ticks "$copyq_pid")
  local a=() b=() i
  for ((i = 0; i < slices; ++i)); do
    thread_ns "$tarnwick_pid" > "$work/a0"
    thread_ns "$copyq_pid" > "$work/b0"
    sleep "$slice"
    thread_ns "$tarnwick_pid" > "$work/a1"
    thread_ns "$copyq_pid" > "$work/b1"
    a+=("$(ns_between "$work/a0" "$work/a1")")
    b+=("$(ns_between "$work/b0" "$work/b1")")
  done
  local tck
  tck=$(getconf CLK_TCK)
  put "${key}_tarnwick_pct" "$(awk -v t=$(($(cpu_ticks "$tarnwick_pid") - ticks0a)) -v h="$tck" -v s="$idle_seconds" 'BEGIN { printf "%.3f", 100 * t / h / s }')"
  put "${key}_copyq_pct" "$(awk -v t=$(($(cpu_ticks "$copyq_pid") - ticks0b)) -v h="$tck" -v s="$idle_seconds" 'BEGIN { printf "%.3f", 100 * t / h / s }')"
  put "${key}_tarnwick_range" "$(printf '%s\n' "${a[@]}" | awk -v s="$slice" 'NR == 1 || $1 < lo { lo = $1 } NR == 1 || $1 > hi { hi = $1 } END { printf "%.3f–%.3f", lo / s / 1e7, hi / s / 1e7 }')"
  put "${key}_copyq_range" "$(printf '%s\n' "${b[@]}" | awk -v s="$slice" 'NR == 1 || $1 < lo { lo = $1 } NR == 1 || $1 > hi { hi = $1 } END { printf "%.3f–%.3f", lo / s / 1e7, hi / s / 1e7 }')"
}

# Copies count distinct texts with xclip, as applications do, spaced out.
copy_entries() {
  local display="$1" count="$2" i
  for ((i = 1; i <= count; ++i)); do
    printf 'bench entry %d of %d, %s' "$i" "$count" "$RANDOM$RANDOM" |
      DISPLAY="$display" xclip -selection clipboard -i
    sleep "$copy_spacing"
  done
}

# --- the two programs, idle and with entries ------------------------------------

copyq_env() {
  env DISPLAY="$copyq_display" HOME="$work/peer" XDG_CONFIG_HOME="$work/peer/config" \
    XDG_DATA_HOME="$work/peer/data" XDG_CACHE_HOME="$work/peer/cache" \
    XDG_RUNTIME_DIR="$work/peer/runtime" "$@"
}

run_side_by_side() {
  start_xvfb tarnwick_display
  start_xvfb copyq_display
  # Without a tray the program opens its window at start: idle with the window shown.
  DISPLAY="$tarnwick_display" setsid "$bin/tarnwick" > "$work/tarnwick.log" 2>&1 &
  tarnwick_pid=$!
  helpers+=("$tarnwick_pid")
  mkdir -p "$work/peer/runtime" && chmod 700 "$work/peer/runtime"
  copyq_env setsid copyq > "$work/copyq.log" 2>&1 &
  copyq_pid=$!
  helpers+=("$copyq_pid")
  local tries=0
  until copyq_env copyq count > /dev/null 2>&1; do
    ((++tries > 60)) && { say "copyq does not answer"; return 1; }
    sleep 0.5
  done
  # Its default keeps only the latest 200 items; let it keep them all.
  copyq_env copyq config maxitems $((entries * 2)) > /dev/null
  sleep 3 # both settle after start
  kill -0 "$tarnwick_pid" || { say "tarnwick ended: $(cat "$work/tarnwick.log")"; return 1; }
  put rss_start_tarnwick_kb "$(rss_kb "$tarnwick_pid")"
  put rss_start_copyq_kb "$(rss_kb "$copyq_pid")"

  say "idle CPU with no entries (${idle_seconds} s)"
  measure_idle idle0
  say "copying $entries entries to each ($(awk -v n="$entries" -v s="$copy_spacing" 'BEGIN { print int(n * s) }') s)"
  copy_entries "$tarnwick_display" "$entries" &
  local copier=$!
  copy_entries "$copyq_display" "$entries"
  wait "$copier"
  sleep 3
  put copyq_count "$(copyq_env copyq count)"
  put rss_full_tarnwick_kb "$(rss_kb "$tarnwick_pid")"
  put rss_full_copyq_kb "$(rss_kb "$copyq_pid")"
  say "idle CPU with $entries entries (${idle_seconds} s)"
  measure_idle idle1
  copyq_env copyq exit > /dev/null 2>&1 || true
}

# --- in-process drivers -------------------------------------------------------

# Reads "<name> ... median=x p99=y min=a max=b" lines into results under key.
take_summary() {
  local key="$1" line="$2" field
  for field in median p99 min max; do
    put "${key}_${field}" "$(sed -n "s/.* $field=\([^ ]*\).*/\1/p" <<< "$line")"
  done
  put "${key}_count" "$(sed -n "s/.* n=\([^ ]*\).*/\1/p" <<< "$line")"
}

run_drivers() {
  local out
  local build
  build="$(dirname "$bin")"
  say "copy-to-history latency ($latency_copies copies each)"
  out=$(python3 "$root/bench/copy_latency.py" --build "$build" --copies "$latency_copies" 2> "$work/latency.log" || true)
  local subject
  for subject in tarnwick copyq; do
    take_summary "latency_$subject" "$(grep "^copy_to_history_ms subject=$subject " <<< "$out" || true)"
    put "latency_${subject}_missed" "$(awk -v s="subject=$subject" '$1 == "copies_missed" && $2 == s { print $3 }' <<< "$out")"
  done

  say "idle with 10 B and 10 MB on the clipboard"
  out=$(python3 "$root/bench/idle_pass.py" --build "$build" --seconds "$pass_seconds" 2> "$work/pass.log" || true)
  local size
  for size in 10B 10MB; do
    take_summary "pass_cpu_$size" "$(grep "^idle_pass_process_cpu_us size=$size " <<< "$out" || true)"
    take_summary "pass_wakeups_$size" "$(grep "^idle_main_thread_wakeups_per_s size=$size " <<< "$out" || true)"
  done

  say "hot key to paste chord ($presses presses)"
  out=$(python3 "$root/bench/hotkey_latency.py" --build "$build" --presses "$presses" 2> "$work/hotkey.log" || true)
  take_summary hotkey "$(grep '^hotkey_paste_ms' <<< "$out" || true)"

  say "window shown from the status menu -> painted ($shows shows each)"
  out=$(python3 "$root/bench/window_shown.py" --build "$build" --shows "$shows" 2> "$work/shown.log" || true)
  for subject in tarnwick copyq; do
    put "shown_$subject" "$(sed -n "s/^window_shown_ms subject=$subject .*median=\([^ ]*\) p90=\([^ ]*\).*/\1 \/ \2/p" <<< "$out")"
    put "shown_${subject}_median" "$(sed -n "s/^window_shown_ms subject=$subject .*median=\([^ ]*\).*/\1/p" <<< "$out")"
  done
  if [[ -x "$bin/rows_bench" ]]; then
    say "adding an entry at 100, 1,000 and 10,000 rows; memory per row"
    # Two runs: the CSV reporter wants the same counters in every row.
    QT_QPA_PLATFORM=offscreen "$bin/rows_bench" --benchmark_format=csv \
      --benchmark_repetitions="$repetitions" --benchmark_filter='addOneEntry' \
      > "$work/rows.csv" 2> "$work/rows.log" || true
    QT_QPA_PLATFORM=offscreen "$bin/rows_bench" --benchmark_format=csv \
      --benchmark_repetitions="$repetitions" --benchmark_filter='memoryPerRow' \
      > "$work/memory.csv" 2>> "$work/rows.log" || true
    local rows
    for rows in 100 1000 10000; do
      # real_time of each repetition, in microseconds
      put "add_$rows" "$(awk -F, -v n="\"addOneEntry/$rows/manual_time\"" '$1 == n { print $3 }' \
        "$work/rows.csv" | median_range)"
    done
    put bytes_per_row "$(awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) if ($i ~ /bytes_per_row/) col = i }
      $1 ~ /^"memoryPerRow\/10000[^_]*"$/ && col { print $col }' "$work/memory.csv" | median_range)"
    say "a keystroke in an expanded row; expanding and scrolling a row of 1,000,000 lines"
    QT_QPA_PLATFORM=offscreen "$bin/rows_bench" --benchmark_format=csv \
      --benchmark_filter='keystrokeInExpandedRow|MillionLineRow|scrollOnePage' \
      > "$work/lines.csv" 2>> "$work/rows.log" || true
    local name
    for name in keystrokeInExpandedRow expandMillionLineRow; do
      put "$name" "$(awk -F, -v n="$name" 'index($1, n) == 2 { print $3 }' "$work/lines.csv")"
    done
    put scroll_lines "$(awk -F, 'index($1, "scrollOnePage/0") == 2 { print $3 }' "$work/lines.csv")"
    put scroll_rows "$(awk -F, 'index($1, "scrollOnePage/1") == 2 { print $3 }' "$work/lines.csv")"
  fi
  if [[ -x "$bin/editor_bench" ]]; then
    say "the row editor on a 1 MB and a 12 MB single line"
    QT_QPA_PLATFORM=offscreen "$bin/editor_bench" --benchmark_format=csv \
      > "$work/editor.csv" 2> "$work/editor.log" || true
    local size
    for size in 1048576 12582912; do
      # open (real_time) and keystroke, in milliseconds
      put "editor_$size" "$(awk -F, -v n="\"editorOnOneLine/$size/" '
        NR == 1 { for (i = 1; i <= NF; ++i) if ($i ~ /keystroke_ms/) col = i }
        index($0, n) == 1 { printf "%.1f / %.1f", $3, $col }' "$work/editor.csv")"
    done
  fi
  say "load run ($load_copies copies, a hot-key paste after every tenth)"
  out=$(TARNWICK_BINARY="$bin/tarnwick" TARNWICK_PASTE_TARGET="$bin/paste_target" \
    python3 "$root/bench/load_run.py" "$load_copies" 2> "$work/load.log" || true)
  put load_rate "$(sed -n 's/.*(\([0-9]*\) per second).*/\1/p' <<< "$out")"
  put load_end "$(grep -q 'last copy: True; still running: True' <<< "$out" && echo right || echo WRONG)"
  say "floor: a bare 4 Hz two-thread hand-over"
  out=$("$bin/wakeup_floor_bench" --seconds $((idle_seconds < 20 ? idle_seconds : 20)))
  put floor_pct "$(sed -n 's/.*core_pct=\([^ ]*\).*/\1/p' <<< "$out")"
  put floor_us "$(sed -n 's/.*per_pass_us=\([^ ]*\).*/\1/p' <<< "$out")"
}

# Median and min-max of the numbers on standard input: "m (lo–hi)".
median_range() {
  sort -g | awk '{ v[++c] = $1 } END { if (!c) { print "n/a"; exit }
    printf "%.0f (%.0f–%.0f)", v[int((c + 1) / 2)], v[1], v[c] }'
}

# --- the table ------------------------------------------------------------------

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 == a && b + 0 == b && b > 0) printf "%.2f", a / b; else print "–" }'; }
per_entry() { # bytes per entry from two RSS readings in KB
  awk -v a="$1" -v b="$2" -v n="$3" 'BEGIN { if (n > 0) printf "%.0f", (b - a) * 1024 / n; else print "n/a" }'
}

print_table() {
  local tcount=$entries ccount
  ccount=$(get copyq_count)
  local tper cper
  tper=$(per_entry "$(get rss_start_tarnwick_kb)" "$(get rss_full_tarnwick_kb)" "$tcount")
  cper=$(per_entry "$(get rss_start_copyq_kb)" "$(get rss_full_copyq_kb)" "$ccount")
  local l0t l0c l1t l1c
  l0t=$(get idle0_tarnwick_pct) l0c=$(get idle0_copyq_pct) l1t=$(get idle1_tarnwick_pct) l1c=$(get idle1_copyq_pct)
  cat << EOF
| Figure | Tarnwick | CopyQ | Tarnwick / CopyQ | Target |
|---|---|---|---|---|
| Idle CPU, 0 entries, ${idle_seconds} s (% of one core; min–max of 6 slices) | $l0t ($(get idle0_tarnwick_range)) | $l0c ($(get idle0_copyq_range)) | $(ratio "$l0t" "$l0c") | ≤ 0.1 |
| Idle CPU, $entries entries, ${idle_seconds} s (% of one core; min–max of 6 slices) | $l1t ($(get idle1_tarnwick_range)) | $l1c ($(get idle1_copyq_range)) | $(ratio "$l1t" "$l1c") | ≤ 0.1 |
| Resident memory at start (KB) | $(get rss_start_tarnwick_kb) | $(get rss_start_copyq_kb) | $(ratio "$(get rss_start_tarnwick_kb)" "$(get rss_start_copyq_kb)") | |
| Resident memory per entry (bytes; entries held: $tcount / $ccount) | $tper | $cper | $(ratio "$tper" "$cper") | ≤ 1 KB beyond the text |
| Copy → the entry drawn in the open window, median (ms) | $(get latency_tarnwick_median) | $(get latency_copyq_median) | $(ratio "$(get latency_tarnwick_median)" "$(get latency_copyq_median)") | ≤ 150 |
| Copy → the entry drawn, p99 / max (ms) | $(get latency_tarnwick_p99) / $(get latency_tarnwick_max) | $(get latency_copyq_p99) / $(get latency_copyq_max) | $(ratio "$(get latency_tarnwick_max)" "$(get latency_copyq_max)") | max ≤ 300 |
| Copies missed (of $latency_copies) | $(get latency_tarnwick_missed) | $(get latency_copyq_missed) | | 0 |
| Hot key → paste chord received, median / p99 (ms) | $(get hotkey_median) / $(get hotkey_p99) | | | ≤ 5 median |
| Add one entry at 100 rows, main thread (µs; median of repetitions, min–max) | $(get add_100) | | | |
| Add one entry at 1,000 rows (µs) | $(get add_1000) | | | |
| Add one entry at 10,000 rows (µs) | $(get add_10000) | | | ≤ 2 × the add at 100 |
| Memory per row at 10,000 rows (bytes) | $(get bytes_per_row) | | | ≤ 1 KB |
| One keystroke in an expanded 1,000-line row at 10,000 rows (µs) | $(get keystrokeInExpandedRow) | | | one layout |
| Opening the row editor on a 1 MB / 12 MB single line, painted; one key typed there (ms) | $(get editor_1048576); $(get editor_12582912) | | | open < 100 ms |
| Expanding a 1,000,000-line row, repaint included (ms) | $(get expandMillionLineRow) | | | |
| One scroll step down an expanded 1,000,000-line row / through 100,000 rows (ms) | $(get scroll_lines) / $(get scroll_rows) | | | < 16 ms |
| Idle, 10 B on the clipboard: process CPU per polling interval (µs per quarter second; median, min–max of 1 s windows) | $(get pass_cpu_10B_median) ($(get pass_cpu_10B_min)–$(get pass_cpu_10B_max)) | | | |
| Idle, 10 MB on the clipboard: process CPU per polling interval (µs; median, min–max) | $(get pass_cpu_10MB_median) ($(get pass_cpu_10MB_min)–$(get pass_cpu_10MB_max)) | | | equal to 10 B |
| Idle main-thread wake-ups per second, 10 B / 10 MB on the clipboard (median) | $(get pass_wakeups_10B_median) / $(get pass_wakeups_10MB_median) | | | 0 |
| Window shown from the status menu → painted, later shows, median / p90 (ms; $shows shows each, taking turns) | $(get shown_tarnwick) | $(get shown_copyq) | $(ratio "$(get shown_tarnwick_median)" "$(get shown_copyq_median)") | ≤ CopyQ |
| Load run: copies per second through the clipboard ($load_copies copies); end state (row 1 = last copy, still running) | $(get load_rate) ($(get load_end)) | | | right |
| Floor: bare 4 Hz two-thread hand-over on this machine (% of one core; µs per pass) | $(get floor_pct) ($(get floor_us) µs) | | | |
EOF
}

run_side_by_side
run_drivers
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores$( ((quick)) && echo ', quick mode')."
  echo
  print_table
} | tee "$(dirname "$bin")/bench-results.md"
