#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Skips what is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libwxgtk3.2-dev libgtk-3-dev libcairo2-dev libusb-1.0-0-dev
  libxtst-dev libgtest-dev libgmock-dev libbenchmark-dev umockdev libumockdev-dev
  clang libclang-rt-14-dev
  xvfb xauth openbox
  # The Latin and CJK fonts the program is drawn with, and the only ones the GUI tests see
  # (tests/fonts.conf).
  fonts-dejavu-core fonts-wqy-zenhei
  # The icon theme the message boxes take their icons from.
  adwaita-icon-theme
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
