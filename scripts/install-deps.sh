#!/usr/bin/env bash
# Installs the Debian packages Kalvestrin needs to build, test and run.
# Idempotent and quiet: when everything is present it does nothing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-multimedia-dev qt6-translations-l10n
  libqt6opengl6-dev libxkbcommon-dev libgl-dev
  libsqlite3-dev sqlite3
  postgresql libpq-dev
  libchm-dev fp-utils
  libbenchmark-dev libgtest-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2 imagemagick clang-format
  libx11-dev
  libxlsxwriter-dev libreadstat-dev
  libfreexl-dev pxlib-dev python3-dbfread libxml2-utils gnumeric poppler-utils
  libreoffice-calc-nogui
  python3 python3-openpyxl python3-pandas pspp
  lintian appstream help2man dpkg-dev desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
