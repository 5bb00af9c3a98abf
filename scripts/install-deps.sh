#!/usr/bin/env bash
# Installs the Debian 12 packages Vardel needs to build, run and test, when any are missing.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
  qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
  qt6-svg-dev espeak-ng fonts-liberation2 hamradio-files)
if [ "${1:-}" = "--tests" ]; then
  packages+=(desktop-file-utils appstream man-db at-spi2-core python3-pyatspi dbus fldigi socat xvfb xauth pulseaudio pulseaudio-utils poppler-utils sox direwolf libhamlib-utils)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y \
  --no-install-recommends "${missing[@]}"
