#!/usr/bin/env bash
# Installs the Debian packages the build, tests, benchmarks and demo need.
# Only missing packages are installed, so a second run costs nothing.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev libxkbcommon-dev
  libicu-dev libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  libxml2-dev libxml2-utils libpugixml-dev
  gpsd-clients rtklib hyperfine
  fonts-wqy-microhei fonts-dejavu-core fonts-wine
  lintian
  libxcb1-dev xvfb openbox locales
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
