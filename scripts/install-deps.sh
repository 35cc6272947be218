#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the workstation need, only
# those that are missing. Runs apt as root directly, otherwise through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6sql6-sqlite libqt6sql6-psql libqt6svg6
  postgresql
  libnetcdf-cxx-legacy-dev libnetcdf-dev netcdf-bin
  nlohmann-json3-dev libcli11-dev
  libzip-dev libpugixml-dev libxlsxwriter-dev
  libqcustomplot-dev libqcustomplot2.1-qt6
  clang-format clang-tidy
  qt6-translations-l10n fonts-noto-cjk fonts-wqy-microhei poppler-utils xvfb xauth x11-utils imagemagick socat
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
