#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from the ci preset's program,
# unpacks it into a scratch root (dpkg -x) and checks that it holds what a
# desktop needs: the program, its desktop entry, its icons in the hicolor
# theme and its AppStream metainfo, the last two passing their validators.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/ci"
say() { echo "tools/package-check.sh: $*"; }
fail() { say "FAILED: $*"; exit 1; }

bash "$root/tools/setup.sh" ci tarnwick > /dev/null

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
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" \
  || fail "appstreamcli validate"
say "ok: ${#expected[@]} files in place, both validators pass"
