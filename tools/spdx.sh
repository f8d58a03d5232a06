#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts the licence's SPDX line at the top of every file git tracks that should
# carry one and does not yet:
#   bash tools/spdx.sh           add the line where it is missing
#   bash tools/spdx.sh --check   list the files that lack it; exit 1 if any do
# Kinds covered, and the line they get:
#   C++ and Objective-C++ (.cpp .h .mm)        // SPDX-License-Identifier: MIT
#   Python, shell (.py .sh, and files without an extension that start with a
#   #! line), CMake (CMakeLists.txt .cmake), the sanitizers' suppression
#   lists (.supp), libFuzzer dictionaries (.dict) and the desktop entry
#   (.desktop), workflows (.yml)                # SPDX-License-Identifier: MIT
#   manual pages in roff (.1, .1.in)           .\" SPDX-License-Identifier: MIT
# A file starting with #! keeps it first; the SPDX line goes second.
# Left as they are: JSON, XML (also as .xml.in, .plist.in, .qrc), images,
# Markdown, the licence text (LICENSE) and the editor and git settings
# (.clang-format, .gitignore), whose comments are awkward or which are not
# sources. Any other kind of file is
# reported, so that a new kind gets a decision here instead of being skipped
# unnoticed.
# Works on the repository it is run from (the current folder's), so it can be
# tried on a throwaway copy.
set -euo pipefail

line_text="SPDX-License-Identifier: MIT"
check=false
case "${1:-}" in
  --check) check=true ;;
  "") ;;
  *) echo "usage: bash tools/spdx.sh [--check]" >&2; exit 2 ;;
esac

top="$(git rev-parse --show-toplevel)"
cd "$top"

# Prints the comment leader for a file, "-" for a kind left alone, or nothing
# for a kind this script does not know.
leader_of() {
  local path="$1" name="${1##*/}"
  case "$name" in
    *.cpp | *.h | *.mm) echo "//" ;;
    *.py | *.sh | *.cmake | CMakeLists.txt | *.supp | *.dict | *.desktop | *.yml | *.yaml) echo "#" ;;
    *.1 | *.1.in) echo '.\"' ;;
    *.json | *.xml | *.xml.in | *.plist.in | *.qrc | *.png | *.svg | *.icns | *.md) echo "-" ;;
    .clang-format | .gitignore | LICENSE) echo "-" ;;
    *.*) ;;
    *)
      # No extension: a script if it starts with #!.
      if [[ "$(head -c 2 "$path")" == "#!" ]]; then echo "#"; fi
      ;;
  esac
}

# True when the line is where it belongs: first, or second after a #! line.
has_line() {
  local path="$1" leader="$2" first
  first="$(head -n 1 "$path")"
  if [[ "$first" == "#!"* ]]; then
    [[ "$(sed -n 2p "$path")" == "$leader $line_text" ]]
  else
    [[ "$first" == "$leader $line_text" ]]
  fi
}

add_line() {
  local path="$1" leader="$2" stamped
  stamped="$(mktemp)"
  if [[ "$(head -n 1 "$path")" == "#!"* ]]; then
    { printf '%s\n' "$(head -n 1 "$path")"; echo "$leader $line_text"; tail -n +2 "$path"; } \
      > "$stamped"
  else
    { echo "$leader $line_text"; cat "$path"; } > "$stamped"
  fi
  # Written through the old file, so its mode (the executable bit) stays.
  cat "$stamped" > "$path"
  rm -f "$stamped"
}

# Everything runs from one function called on the script's last line, which
# bash has read in full before the call: the script stamps itself too, and
# bash would otherwise go on reading it at an offset the new line moved.
main() {
  lacking=0
  unknown=0
  while IFS= read -r -d '' path; do
    # A file deleted in the work tree but not yet in the index: nothing to do.
    [[ -f "$path" ]] || continue
    leader="$(leader_of "$path")"
    if [[ -z "$leader" ]]; then
      echo "tools/spdx.sh: unknown kind of file, decide its comment in tools/spdx.sh: $path" >&2
      unknown=$((unknown + 1))
      continue
    fi
    [[ "$leader" == "-" ]] && continue
    has_line "$path" "$leader" && continue
    lacking=$((lacking + 1))
    if $check; then
      echo "$path"
    else
      add_line "$path" "$leader"
      echo "tools/spdx.sh: added the SPDX line to $path" >&2
    fi
  done < <(git ls-files -z)

  if [[ $unknown -gt 0 ]]; then
    return 1
  fi
  if $check && [[ $lacking -gt 0 ]]; then
    echo "tools/spdx.sh: $lacking files lack the line '$line_text' (run bash tools/spdx.sh)" >&2
    return 1
  fi
  return 0
}

main "$@"; exit "$?"
