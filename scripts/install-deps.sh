#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing, checking the Debian
# package and the demo need, and those the package depends on; only those that
# are missing. Runs apt-get as root, or through sudo. The Windows build needs
# MinGW-w64 (its POSIX-threads variant), GoogleTest's sources and Wine.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsimpleini-dev libxxhash-dev
  libexpat1-dev libssl-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
  ffmpeg mkvtoolnix xvfb xauth dbus dbus-daemon time bc
  dpkg-dev lintian desktop-file-utils appstream
  qt6-qpa-plugins qt6-translations-l10n xdg-utils
  gstreamer1.0-tools gstreamer1.0-plugins-good gstreamer1.0-libav libimage-exiftool-perl
  g++-mingw-w64-x86-64-posix googletest wine wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
