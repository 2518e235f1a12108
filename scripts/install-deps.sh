#!/usr/bin/env bash
# Installs the Debian 12 packages Veltrik needs to build, run and test; packages already present are
# skipped, and nothing is asked of apt when all are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin libgl-dev libxkbcommon-dev qt6-pdf-dev
  libicu-dev libzip-dev libgtest-dev libbenchmark-dev
  libqt6sql6-sqlite libqt6sql6-psql postgresql
  fonts-noto-cjk qt6-translations-l10n xvfb xauth openbox poppler-utils
  appstream desktop-file-utils clang-format
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
