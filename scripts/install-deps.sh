#!/usr/bin/env bash
# Installs everything Tallowin needs to build, run and test, from Debian's
# packages. Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-dev clang-format clang-tidy
  libc++-dev
  libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-websockets-dev libgl-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-res0-dev libxcb-randr0-dev libplist-dev nlohmann-json3-dev
  qt6-wayland sway foot grim xwayland wf-recorder i3-wm
  kwin-wayland dbus yad
  xvfb openbox xterm x11-apps x11-utils wmctrl xdotool imagemagick hyperfine xauth
  dpkg-dev appstream desktop-file-utils
  obs-studio simplescreenrecorder ffmpeg
  fluxbox jwm awesome metacity x11-xserver-utils python3-gi gir1.2-gtk-3.0 python3-pyqt5
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
