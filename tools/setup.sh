#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Morvane
# need. Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev qt6-image-formats-plugins libqt6svg6
  qt6-translations-l10n
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libtiff-dev libuemf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  imagemagick xvfb xauth xdotool openbox wmctrl x11-utils xclip
  poppler-utils strace locales
  dpkg-dev file lintian appstream desktop-file-utils shared-mime-info
  cups cups-filters ghostscript printer-driver-cups-pdf
  fonts-dejavu-core fonts-liberation2
  openclipart-svg
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
