#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs whatever the build and the tests need and is still missing, then
# configures and builds Tarnwick with one CMake preset.
#   bash tools/setup.sh [debug|release|ci|asan|tsan] [target...]
# (default: the debug preset, every target)
# A second run installs nothing and only rebuilds what changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-debug}"
targets=("${@:2}")

say() { echo "tools/setup.sh: $*" >&2; }

# Debian 12 packages: the toolchain, Qt, ICU (text comparison), X11 and XTest
# for the key filter, Wayland's client library, its protocol generator
# (libwayland-bin) and xkbcommon for the Wayland backend, the test frameworks,
# and the X tools and Python 3 the end-to-end tests drive the program with
# (ImageMagick's import is for tools/screenshot.sh, its identify for
# tools/package-check.sh; setxkbmap, in x11-xkb-utils, changes the layout;
# at-spi2-core and python3-pyatspi let the screen-reader test read the rows;
# python3-xlib is the X client of the Python benchmarks in bench/ and
# of an end-to-end test that needs exact key timing), a
# headless sway, wl-clipboard, wtype and Qt's Wayland backend for the Wayland
# end-to-end test, with a private session bus (dbus-daemon, dbus-send) and the
# Python D-Bus and GLib bindings its fake desktop portal is written with; the Debian package's tools and validators (lintian checks
# the package, man-db renders the manual page), the SVG renderer of
# tools/render-icons.sh, and the linters of tools/lint.sh.
debian_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libx11-dev libxtst-dev libxfixes-dev libxcb1-dev libicu-dev
  libwayland-dev libwayland-bin libxkbcommon-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xclip xdotool trayer openbox x11-utils x11-xkb-utils fonts-dejavu-core imagemagick
  sway wl-clipboard wtype qt6-wayland dbus-daemon dbus-bin python3-dbus python3-gi
  python3 at-spi2-core python3-pyatspi python3-xlib
  dpkg-dev file desktop-file-utils appstream lintian man-db librsvg2-bin
  shellcheck
)
# npm fetches the workflow validator; a Node.js from elsewhere brings its own.
command -v npm > /dev/null || debian_packages+=(npm)

as_root() {
  if [[ "$(id -u)" -eq 0 ]]; then
    "$@"
  elif command -v sudo > /dev/null; then
    sudo "$@"
  else
    say "need root rights to run: $*"
    return 1
  fi
}

missing_debian_packages() {
  local installed
  # Unknown names make dpkg-query complain and exit non-zero: that is expected.
  installed="$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${debian_packages[@]}" \
    2> /dev/null | awk '$2 == "installed" { print $1 }' || true)"
  local package
  for package in "${debian_packages[@]}"; do
    grep -qxF "$package" <<< "$installed" || echo "$package"
  done
}

install_debian() {
  local missing
  mapfile -t missing < <(missing_debian_packages)
  if [[ ${#missing[@]} -eq 0 ]]; then
    return 0
  fi
  say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
}

install_macos() {
  command -v brew > /dev/null || { say "Homebrew is needed: https://brew.sh"; return 1; }
  local formula missing=()
  for formula in qt cmake ninja googletest google-benchmark; do
    brew list --versions "$formula" > /dev/null || missing+=("$formula")
  done
  if [[ ${#missing[@]} -gt 0 ]]; then
    say "installing ${missing[*]}"
    brew install "${missing[@]}"
  fi
}

configure_and_build() {
  local extra=()
  if [[ "$(uname -s)" == Darwin ]]; then
    extra+=("-DCMAKE_PREFIX_PATH=$(brew --prefix qt)")
  fi
  cd "$root"
  cmake --preset "$preset" "${extra[@]}" > /dev/null
  local build=(cmake --build --preset "$preset"
    --parallel "$(getconf _NPROCESSORS_ONLN 2> /dev/null || echo 2)")
  if [[ ${#targets[@]} -gt 0 ]]; then
    build+=(--target "${targets[@]}")
  fi
  "${build[@]}"
}

case "$(uname -s)" in
  Linux)
    if command -v dpkg-query > /dev/null; then
      install_debian
    else
      say "not a Debian system: install the equivalents of: ${debian_packages[*]}"
    fi
    ;;
  Darwin) install_macos ;;
  *) say "unsupported system $(uname -s)"; exit 1 ;;
esac

configure_and_build
