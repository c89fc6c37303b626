#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building motormodel, then
# configures and builds it.
#
#   scripts/setup.sh      the packages the programs need, and the programs
#                         (the window, the batch tool and the Python module)
#                         into build/
#   scripts/setup.sh ci   also what the tests need (Xvfb, weston, clang for
#                         the fuzzers, the arm64 cross compiler and qemu,
#                         the package checks, librsvg and poppler to read
#                         the saved pictures back, LibreOffice to open the
#                         reports), and everything, tests and
#                         benchmarks included, into build-ci/ (stricter
#                         warnings as errors, under the sanitizers)
#
# Each preset keeps its own folder, so switching between them rebuilds
# nothing.
set -euo pipefail
preset=${1:-default}
cd "$(dirname "$0")/.."

# What configuring and building the programs takes (lrelease compiles the
# window's English; pybind11 and Python's headers the Python module, which
# numpy's arrays hold the runs of), and what the window needs at run time (its font, Qt's
# Wayland plugin, Qt's own texts in Russian and English).
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqcustomplot-dev libqt6opengl6-dev qt6-svg-dev
  fonts-dejavu-core fonts-liberation
  qt6-wayland qt6-translations-l10n qt6-l10n-tools
  libtomlplusplus-dev libcli11-dev libmpfr-dev libgsl-dev libzip-dev
  python3-dev pybind11-dev python3-numpy
  help2man groff-base imagemagick
)
cross=false
if [ "$preset" != default ]; then
  packages+=(
    xvfb xauth xdotool x11-utils openbox wmctrl time weston
    clang libclang-rt-14-dev llvm
    man-db dpkg-dev file desktop-file-utils appstream lintian shared-mime-info
    librsvg2-bin poppler-utils python3-pandas python3-matplotlib libreoffice-writer-nogui
    fonts-cantarell qt6-gtk-platformtheme
    g++-aarch64-linux-gnu qemu-user libmpfr-dev:arm64 libgsl27:arm64 libgslcblas0:arm64
  )
  cross=true
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  # The aarch64 cross build links Debian's arm64 MPFR, GMP and GSL (see
  # cmake/aarch64-linux-gnu.cmake for GSL's).
  if $cross; then
    dpkg --print-foreign-architectures | grep -qx arm64 || $sudo dpkg --add-architecture arm64
  fi
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset"
if [ "$preset" = default ]; then
  cmake --build --preset default --target motormodel motormodel-cli motormodel_python
else
  cmake --build --preset "$preset"
fi
