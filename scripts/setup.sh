#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing
# motormodel, then configures and builds it.
#
#   scripts/setup.sh      the default preset, into build/
#   scripts/setup.sh ci   the same build with stricter warnings, as errors,
#                         into build-ci/
#
# Each preset keeps its own folder, so switching between them rebuilds
# nothing.
set -euo pipefail
preset=${1:-default}
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqcustomplot-dev libqt6opengl6-dev qt6-svg-dev
  fonts-dejavu-core fonts-liberation
  xvfb xauth xdotool x11-utils imagemagick openbox wmctrl time
  qt6-wayland weston
  clang libclang-rt-14-dev llvm
  libtomlplusplus-dev libcli11-dev
  qt6-translations-l10n
  help2man groff-base man-db dpkg-dev file desktop-file-utils appstream lintian
  libmpfr-dev
  g++-aarch64-linux-gnu qemu-user libmpfr-dev:arm64
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  # The aarch64 cross build links Debian's arm64 MPFR and GMP.
  dpkg --print-foreign-architectures | grep -qx arm64 || $sudo dpkg --add-architecture arm64
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset"
cmake --build --preset "$preset"
