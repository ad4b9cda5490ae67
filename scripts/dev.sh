#!/usr/bin/env bash
# Set up a Debian 12 machine for Vellomar, build it, and run it or its tests.
#
#   bash scripts/dev.sh run    install what is missing, build, start Vellomar
#   bash scripts/dev.sh test   install what is missing, build, run every test
#   bash scripts/dev.sh bench  install what is missing, build, run the benchmarks
#   bash scripts/dev.sh windows  install what is missing, build for Windows with
#                                its installer and zip (build/windows/)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev libxcb-res0-dev fonts-liberation)
# Needed only by the test suite: a display server for screenshots, a window
# manager for window states and xdotool to move windows from outside, the
# desktop entry and AppStream checkers, the desktop's opener, the Debian
# package checker, a private session bus for the launcher's desktop notice,
# headless Wayland compositors (with XWayland and Qt's Wayland platform) for
# the launcher's window styles there, a container with systemd's own logind
# for the launcher's logout, and the Windows build with Wine, its fonts, NSIS
# and icoutils (the icon in the programs) for the Windows test.
windows_packages=(g++-mingw-w64-x86-64-posix wine64 fonts-wine nsis icoutils)
test_packages=(python3 strace xvfb xauth openbox x11-utils xdotool desktop-file-utils appstream dpkg-dev file xdg-utils lintian faketime
               imagemagick tesseract-ocr dbus-daemon dbus-bin weston mutter kwin-wayland xwayland qt6-wayland debootstrap
               systemd-container "${windows_packages[@]}")
bench_packages=(libbenchmark-dev faketime)
run_packages=(xdg-utils)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake --preset default "$@" >/dev/null
  cmake --build --preset default
}

case "${1:-}" in
  run)
    install_missing "${build_packages[@]}" "${run_packages[@]}"
    build
    # The program works on its working folder; give it one that holds the
    # read-me and the licence its Help menu opens.
    work="${VELLOMAR_WORK_DIR:-$here/build/work}"
    mkdir -p "$work"
    cp -n readme.1st license.txt "$work"/ 2>/dev/null || true
    cd "$work"
    exec "$here/build/default/bin/vellomar"
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build -DVELLOMAR_WERROR=ON
    ctest --preset default -j2
    ;;
  bench)
    install_missing "${build_packages[@]}" "${bench_packages[@]}"
    build -DVELLOMAR_BUILD_BENCH=ON
    "$here/bench/run.sh" "$here/build/default"
    ;;
  windows)
    install_missing "${build_packages[@]}" "${windows_packages[@]}"
    # Qt for Windows: VELLOMAR_QT_WINDOWS, ../shared beside the project, or our own build.
    qt=${VELLOMAR_QT_WINDOWS:-}
    for candidate in "$here/../shared/qt6-mingw-6.4.2" "$HOME/.cache/vellomar/qt6-mingw"; do
      [ -n "$qt" ] || [ ! -f "$candidate/lib/cmake/Qt6/qt.toolchain.cmake" ] || qt=$candidate
    done
    if [ -z "$qt" ]; then
      echo "No Qt for Windows: building it into ~/.cache/vellomar/qt6-mingw (most of an hour)"
      bash scripts/build-qt-windows.sh "$HOME/.cache/vellomar/qt6-mingw"
      qt=$HOME/.cache/vellomar/qt6-mingw
    fi
    export VELLOMAR_QT_WINDOWS=$qt
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j2
    (cd build/windows && cpack >/dev/null)
    echo "Built with Qt for Windows in $qt:"
    ls -l build/windows/bin/*.exe build/windows/bin/*.com build/windows/vellomar-*-win64.*
    ;;
  *)
    echo "usage: bash scripts/dev.sh run|test|bench|windows" >&2
    exit 2
    ;;
esac
