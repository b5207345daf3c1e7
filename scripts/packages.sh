#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and its tests need,
# only when one is missing. Runs apt as root, or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev
  libjpeg62-turbo-dev libical-dev qtkeychain-qt6-dev
  remind calcurse
  radicale vdirsyncer curl openssl ca-certificates gnome-keyring dbus python3
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth trayer xdotool openbox wmctrl x11-apps x11-utils imagemagick
  desktop-file-utils appstream file dpkg-dev lintian devscripts
  dbus dbus-x11 haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils tint2 dunst
  weston qt6-wayland at-spi2-core sway wayland-protocols libwayland-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
