#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the logo into the PNG sizes of the hicolor icon theme that
# `cmake --install` puts in place (assets/hicolor/<size>.png). Run it after a
# change of assets/logo.svg and commit the result: the build and the package
# use the committed renders, so they need no SVG renderer.
#   bash tools/render-icons.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
command -v rsvg-convert > /dev/null || {
  echo "tools/render-icons.sh: needs rsvg-convert (Debian: librsvg2-bin)" >&2
  exit 1
}
mkdir -p "$root/assets/hicolor"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$root/assets/logo.svg" -o "$root/assets/hicolor/$size.png"
done
