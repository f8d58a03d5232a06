#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tools/spdx.sh on a throwaway repository holding one file of each kind it
# knows: --check lists exactly the files that lack the line and fails,
# stamping puts the line first (second after a #! line) and keeps the rest
# and the executable bit, leaves JSON, XML and images alone, a second stamping
# changes nothing, and an unknown kind of file fails both modes. The script
# runs from inside that repository, as in the real one, where it stamps
# itself while it runs.
set -euo pipefail

original="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/spdx.sh"
repo="$(mktemp -d)"
trap 'rm -rf "$repo"' EXIT
fail() { echo "spdx_test: FAILED: $*" >&2; exit 1; }

cd "$repo"
git init -q .
mkdir -p src tools .ci
printf 'int main() {}\n' > src/main.cpp
printf '// SPDX-License-Identifier: MIT\n#pragma once\n' > src/done.h
printf '#!/usr/bin/env bash\necho hi\n' > tools/run.sh
chmod +x tools/run.sh
printf '#!/usr/bin/env bash\n# SPDX-License-Identifier: MIT\necho done\n' > tools/done.sh
printf '#!/usr/bin/env bash\nexit 0' > .ci/run
printf '"""Doc."""\n' > tools/x.py
printf 'project(x)\n' > CMakeLists.txt
printf '{"a": 1}\n' > data.json
printf '<?xml version="1.0"?>\n<a/>\n' > meta.xml.in
printf '# Title\n' > README.md
printf '.TH X 1\n' > x.1.in
# As the real one was before it was first stamped.
sed "2{/^# SPDX-License-Identifier: MIT$/d}" "$original" > tools/spdx.sh
chmod +x tools/spdx.sh
script="$repo/tools/spdx.sh"
git add -A

expect_lacking=".ci/run
CMakeLists.txt
src/main.cpp
tools/run.sh
tools/spdx.sh
tools/x.py
x.1.in"
status=0
listed="$(bash "$script" --check | sort)" || status=$?
[[ $status -eq 1 ]] || fail "--check exited $status with files lacking the line"
[[ "$listed" == "$expect_lacking" ]] || fail "--check listed: $listed"

json_before="$(cat data.json)"
bash "$script" 2> /dev/null || fail "stamping exited $?"
[[ "$(sed -n 2p tools/spdx.sh)" == "# SPDX-License-Identifier: MIT" ]] || fail "spdx.sh not stamped"
[[ "$(cat src/main.cpp)" == $'// SPDX-License-Identifier: MIT\nint main() {}' ]] \
  || fail "main.cpp: $(cat src/main.cpp)"
[[ "$(cat tools/run.sh)" == $'#!/usr/bin/env bash\n# SPDX-License-Identifier: MIT\necho hi' ]] \
  || fail "run.sh: $(cat tools/run.sh)"
[[ -x tools/run.sh ]] || fail "run.sh lost its executable bit"
[[ "$(cat .ci/run)" == $'#!/usr/bin/env bash\n# SPDX-License-Identifier: MIT\nexit 0' ]] \
  || fail ".ci/run: $(cat .ci/run)"
[[ "$(cat x.1.in)" == $'.\\" SPDX-License-Identifier: MIT\n.TH X 1' ]] || fail "x.1.in: $(cat x.1.in)"
[[ "$(head -n 1 tools/x.py)" == "# SPDX-License-Identifier: MIT" ]] || fail "x.py not stamped"
[[ "$(head -n 1 CMakeLists.txt)" == "# SPDX-License-Identifier: MIT" ]] \
  || fail "CMakeLists.txt not stamped"
[[ "$(grep -c SPDX src/done.h tools/done.sh | cut -d: -f2 | sort -u)" == 1 ]] \
  || fail "a file that had the line got a second one"
[[ "$(cat data.json)" == "$json_before" ]] || fail "data.json was changed"
grep -q SPDX meta.xml.in README.md && fail "XML or Markdown was stamped"

bash "$script" --check > /dev/null || fail "--check fails after stamping"
git add -A
bash "$script" 2> /dev/null || fail "a second stamping exited $?"
git diff --quiet || fail "a second stamping changed: $(git diff --stat)"

printf 'x\n' > notes.unknownkind
git add notes.unknownkind
bash "$script" --check > /dev/null 2>&1 && fail "--check passed an unknown kind of file"
bash "$script" > /dev/null 2>&1 && fail "stamping passed an unknown kind of file"
echo "spdx_test: ok"
