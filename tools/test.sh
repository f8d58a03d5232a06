#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds with warnings as errors and runs every test: unit, widget
# (Qt offscreen) and end-to-end (each test starts its own Xvfb). The exit
# status is ctest's.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/setup.sh" ci

cd "$root"
status=0
ctest --preset ci --parallel "$(getconf _NPROCESSORS_ONLN 2> /dev/null || echo 2)" || status=$?
exit "$status"
