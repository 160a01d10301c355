#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
packages=(
  cmake ninja-build pkg-config g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libglib2.0-dev shared-mime-info libpulse-dev
  fonts-liberation adwaita-icon-theme desktop-file-utils
  xvfb xauth
  libreoffice-calc-nogui
  mpg123 mpv pulseaudio pulseaudio-utils xmp id3v2 fonts-comic-neue appstream liburing-dev libuchardet-dev fonts-noto-cjk
  python3-mutagen eyed3 kid3-cli
  lame ffmpeg
  zlib1g-dev nlohmann-json3-dev libtag1-dev libpcre2-dev
  librsvg2-bin dpkg-dev file groff-base man-db lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
