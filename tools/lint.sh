#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lints what the compiler does not see: the shell scripts with shellcheck and
# the forge workflows with action-validator (fetched once with npm, kept under
# build/lint).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
say() { echo "tools/lint.sh: $*" >&2; }

status=0
shellcheck tools/*.sh .ci/run || status=1

validator_version=0.6.0
tools="$root/build/lint"
validator="$tools/node_modules/.bin/action-validator"
if [[ ! -x "$validator" ]]; then
  say "installing @action-validator/cli $validator_version into build/lint"
  npm install --prefix "$tools" --no-save --no-audit --no-fund \
    "@action-validator/cli@$validator_version" > /dev/null
fi
for workflow in .github/workflows/*.yml; do
  "$validator" "$workflow" || status=1
done
exit "$status"
