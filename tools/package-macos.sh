#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tarnwick.app for both Mac architectures (the macos preset), copies Qt
# into it with macdeployqt, signs it ad hoc and packs it into a disk image:
# build/macos/Tarnwick-<version>.dmg.
# usage: tools/package-macos.sh [Qt folder]
#   The Qt folder (default: $QT_DIR, else Homebrew's qt) must hold a Qt 6 for
#   macOS built for arm64 and x86_64, such as the one of Qt's online installer
#   (~/Qt/6.x.y/macos); Homebrew's Qt has one architecture only. To package
#   for this Mac's architecture alone: TARNWICK_ARCHS=$(uname -m).
set -euo pipefail

say() { echo "package-macos.sh: $*" >&2; }

if [[ "$(uname -s)" != Darwin ]]; then
  say "runs on macOS only (macdeployqt, codesign and hdiutil are Apple's)"
  exit 1
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
qt="${1:-${QT_DIR:-}}"
if [[ -z "$qt" ]] && command -v brew > /dev/null; then
  qt="$(brew --prefix qt)"
fi
if [[ -z "$qt" || ! -x "$qt/bin/macdeployqt" ]]; then
  say "no macdeployqt under '${qt:-<no Qt folder>}/bin': name a Qt 6 for macOS folder"
  exit 1
fi
archs="${TARNWICK_ARCHS:-arm64;x86_64}"

cd "$root"
cmake --preset macos -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_OSX_ARCHITECTURES="$archs"
cmake --build --preset macos

app="$root/build/macos/bin/Tarnwick.app"
built="$(lipo -archs "$app/Contents/MacOS/Tarnwick")"
for arch in ${archs//;/ }; do
  if [[ " $built " != *" $arch "* ]]; then
    say "the program was built for '$built' only, not $arch"
    exit 1
  fi
done

# Qt's frameworks and plug-ins go into the bundle, so it runs without Qt installed.
"$qt/bin/macdeployqt" "$app" -always-overwrite
# macdeployqt's changes break the linker's signature, and Apple silicon runs no
# unsigned code. Ad hoc: no developer identity; the Accessibility permission is
# tied to this signature, so each new build must be granted it again.
codesign --force --deep --sign - "$app"
codesign --verify --deep --strict "$app"

version="$(/usr/libexec/PlistBuddy -c 'Print :CFBundleShortVersionString' \
  "$app/Contents/Info.plist")"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp -R "$app" "$stage/"
ln -s /Applications "$stage/Applications"
dmg="$root/build/macos/Tarnwick-$version.dmg"
hdiutil create -volname "Tarnwick $version" -srcfolder "$stage" -fs HFS+ -format UDZO \
  -ov "$dmg"
say "made $dmg"
