#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the asan preset (AddressSanitizer + UBSan) and the tsan preset
# (ThreadSanitizer) and runs the tests under them: the unit and widget tests
# under ASan, the unit tests of the engine and the hot keys (the code with
# threads) under TSan. Only the test programs needed are built. Prints the wall
# time of each part. The exit status is non-zero when any part failed.
#
#   bash tools/sanitize.sh [asan|tsan]...      (default: both)
#
# TARNWICK_SANITIZE_PREFIX names other build folders (build/<prefix>asan,
# build/<prefix>tsan) and skips the package set-up, for working on this script
# beside another build.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="${TARNWICK_SANITIZE_PREFIX:-}"
jobs="$(getconf _NPROCESSORS_ONLN 2> /dev/null || echo 2)"
kinds=("$@")
[[ ${#kinds[@]} -eq 0 ]] && kinds=(asan tsan)

say() { echo "tools/sanitize.sh: $*" >&2; }
timings=()
status=0

# Runs a step, records its wall time, and remembers a failure without stopping.
timed() {
  local name="$1" start end rc
  shift
  start=$(date +%s)
  "$@"
  rc=$?
  end=$(date +%s)
  timings+=("$(printf '%-28s %4d s  %s' "$name" $((end - start)) "$([[ $rc -eq 0 ]] && echo ok || echo "FAILED ($rc)")")")
  [[ $rc -eq 0 ]] || status=1
  return $rc
}

# shellcheck disable=SC2317  # called through timed
build() {
  local kind="$1" dir="$root/build/$prefix$1"
  shift
  if [[ -z "$prefix" ]]; then
    bash "$root/tools/setup.sh" "$kind" "$@"
  else
    cmake --preset "$kind" -B "$dir" > /dev/null && cmake --build "$dir" --parallel "$jobs" --target "$@"
  fi
}

# Runs the tests of a label whose names match a pattern; selecting none fails.
# shellcheck disable=SC2317  # called through timed
run_tests() {
  local kind="$1" labels="$2" names="$3" dir="$root/build/$prefix$1"
  ctest --test-dir "$dir" --label-regex "$labels" --tests-regex "$names" --no-tests=error \
    --output-on-failure --parallel "$jobs"
}

# The engine's and the hot keys' unit test suites, by name.
threaded_suites='(Engine|BufferChecker|Polling|Paste|Atomic|HotKey|KeyFilter|Filter)[A-Za-z]*[.]'

supp="$root/tools/sanitizers"
# Any report ends the test with a failure; leaks are checked at exit, minus
# the one-time allocations of Qt's plugins and fontconfig (lsan.supp). No
# strict_string_checks: it takes libxkbcommon's proper strndup of an
# unterminated buffer for an overflow.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Qt is not built with TSan: its own internal reports are suppressed
# (tsan.supp), never ours.
export TSAN_OPTIONS="suppressions=$supp/tsan.supp:halt_on_error=1:second_deadlock_stack=1:history_size=4"

total_start=$(date +%s)
for kind in "${kinds[@]}"; do
  case "$kind" in
    asan)
      timed "asan: build" build asan unit_tests widget_tests &&
        timed "asan: unit + widget tests" run_tests asan '^(unit|widget)$' .
      ;;
    tsan)
      timed "tsan: build" build tsan unit_tests &&
        timed "tsan: engine + hot-key tests" run_tests tsan '^unit$' "$threaded_suites"
      ;;
    *) say "unknown sanitizer $kind (asan or tsan)"; status=1 ;;
  esac
done

echo
echo "Sanitizer runs (wall time, $jobs cores):"
printf '  %s\n' "${timings[@]}"
echo "  total                        $(($(date +%s) - total_start)) s"
exit "$status"
