# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Shared by ./play and ./test: installs the Debian packages the build needs when they
# are missing (through sudo when not root), then configures and builds one tree.
# Sourced, not run.

KW_PACKAGES="build-essential cmake pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev
  libsdl2-ttf-dev libfontconfig-dev libvorbis-dev libpng-dev zlib1g-dev libgtest-dev
  fonts-junicode fonts-dejavu-core python3 gettext"
# What ./test needs besides: the desktop entry's and the metadata's validators, and the
# tools that make and check the Debian package.
KW_TEST_PACKAGES="desktop-file-utils appstream dpkg-dev file lintian"

kw_install_packages() {
  local missing=()
  for p in $KW_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# kw_build DIR [cmake options...]
kw_build() {
  local dir=$1; shift
  cmake -S "$KW_TOP" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
