#!/usr/bin/env bash
# Installs the Debian packages Velora builds and tests with. Quick when they are present already.
set -euo pipefail
PACKAGES=(
  build-essential cmake pkg-config clang libclang-rt-14-dev python3
  libboost1.81-dev nlohmann-json3-dev libicu-dev libturbojpeg0-dev libjpeg62-turbo-dev libyuv-dev
  libqrencode-dev
  libx11-dev libxtst-dev libxrandr-dev libxext-dev libxfixes-dev libxdamage-dev
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev xkb-data qt6-wayland
  qt6-base-dev qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool trayer python3-tk libjpeg-turbo-progs libzbar-dev zbar-tools
  sway swaybg wev grim wtype
  libsdbus-c++-dev libsdbus-c++-bin libpipewire-0.3-dev pipewire pipewire-bin wireplumber dbus
  xdg-desktop-portal xdg-desktop-portal-wlr
  chromium chromium-driver python3-selenium nodejs
  ffmpeg
  librsvg2-bin dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db groff-base
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
