#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a release: every source carries the licence's SPDX line
# (tools/spdx.sh --check); then builds the Debian package (cpack -G DEB) from
# one preset's program (default: ci), unpacks it into a scratch root (dpkg -x)
# and checks that it holds what a desktop and a distribution need: the
# program, its desktop entry, its icons in the hicolor theme, its AppStream
# metainfo, its manual page and its copyright file; that the validators and
# man pass them; and that lintian reports no error and no warning.
#   bash tools/package-check.sh [preset]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-ci}"
build="$root/build/$preset"
say() { echo "tools/package-check.sh: $*"; }
fail() { say "FAILED: $*"; exit 1; }

(cd "$root" && bash tools/spdx.sh --check) || fail "files without the SPDX line (listed above)"

bash "$root/tools/setup.sh" "$preset" tarnwick > /dev/null

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log"; fail "cpack"; }
debs=("$scratch"/out/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one .deb, got: ${debs[*]}"
deb="${debs[0]}"
say "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# dpkg-shlibdeps must have found the libraries; the X11 plugin is named by hand.
depends="$(dpkg-deb -f "$deb" Depends)"
for package in libqt6widgets6 libqt6network6 libx11-6 libxtst6 qt6-qpa-plugins; do
  grep -q "\b$package\b" <<< "$depends" || fail "Depends lacks $package: $depends"
done

unpacked="$scratch/root"
dpkg -x "$deb" "$unpacked"
app_id=org.tarnwick.Tarnwick
share="$unpacked/usr/share"
expected=(
  "$unpacked/usr/bin/tarnwick"
  "$share/applications/$app_id.desktop"
  "$share/metainfo/$app_id.metainfo.xml"
  "$share/icons/hicolor/scalable/apps/$app_id.svg"
  "$share/man/man1/tarnwick.1.gz"
  "$share/doc/tarnwick/copyright"
  "$share/doc/tarnwick/changelog.gz"
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("$share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  [[ -s "$file" ]] || fail "missing ${file#"$unpacked"}"
done
for size in 16 22 24 32 48 64 128 256; do
  actual="$(identify -format '%wx%h' "$share/icons/hicolor/${size}x$size/apps/$app_id.png")"
  [[ "$actual" == "${size}x$size" ]] || fail "the ${size}x$size icon is $actual"
done
[[ "$(find "$unpacked" -type f | wc -l)" -eq ${#expected[@]} ]] \
  || fail "unexpected files: $(find "$unpacked" -type f | sort)"

# The packaged program runs and knows the package's version.
version="$("$unpacked/usr/bin/tarnwick" --version)"
[[ "$version" == "Tarnwick $(dpkg-deb -f "$deb" Version)" ]] || fail "--version said: $version"

desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net "$share/metainfo/$app_id.metainfo.xml" \
  || fail "appstreamcli validate"

# The manual page renders without a warning and documents every option that
# --help lists.
page="$scratch/tarnwick.1.txt"
MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/tarnwick.1.gz" \
  > "$page" 2> "$scratch/man.log" || { cat "$scratch/man.log"; fail "man"; }
[[ ! -s "$scratch/man.log" ]] || { cat "$scratch/man.log"; fail "man warns about the page"; }
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "HOT KEYS" SIGNALS "EXIT STATUS" ENVIRONMENT \
  FILES; do
  grep -qx "$section" "$page" || fail "the manual page has no $section section"
done
mapfile -t options < <("$unpacked/usr/bin/tarnwick" --help | grep -oE -- '--[a-z-]+')
[[ ${#options[@]} -ge 2 ]] || fail "--help listed no options"
for option in "${options[@]}"; do
  grep -qF -- "$option" "$page" || fail "the manual page does not document $option"
done

# The copyright file is machine-readable and holds LICENSE's text.
copyright="$share/doc/tarnwick/copyright"
head -n 1 "$copyright" \
  | grep -qxF "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
  || fail "the copyright file's first line is not its Format field"
grep -qxF "Copyright: $(sed -n 's/^Copyright (c) //p' "$root/LICENSE")" "$copyright" \
  || fail "the copyright file does not name LICENSE's holders"
# Word by word: the file indents the text and marks its empty lines with ".".
licence_words() { tr -s '[:space:]' '\n' | grep -vx -e '[.]' -e '' || true; }
cmp -s <(tail -n +4 "$root/LICENSE" | licence_words) \
  <(awk 'found { print } /^License: Expat$/ && previous == "" { found = 1 } { previous = $0 }' \
    "$copyright" | licence_words) \
  || fail "the copyright file's licence text is not LICENSE's"

# lintian: errors and warnings fail (tags judged wrong for this package would
# be overridden inside the package); information tags are shown.
lintian --display-info --fail-on error,warning "$deb" > "$scratch/lintian.log" 2>&1 \
  || { cat "$scratch/lintian.log"; fail "lintian"; }
cat "$scratch/lintian.log"
! grep -qE '^[EW]: ' "$scratch/lintian.log" || fail "lintian reports errors or warnings"
say "ok: ${#expected[@]} files in place, the validators, man and lintian pass"
