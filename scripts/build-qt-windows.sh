#!/usr/bin/env bash
# Builds Qt 6 (qtbase: Core, Gui, Widgets, Test) for 64-bit Windows with MinGW-w64,
# from Debian 12's own source package of the Qt the machine already has (6.4.2),
# so the Linux Qt tools (moc, rcc, uic) serve the cross build.
#   bash scripts/build-qt-windows.sh PREFIX [WORKDIR]     about 40 minutes of 2 cores
# 'bash scripts/dev.sh windows' runs it into ~/.cache/vellomar/qt6-mingw when no
# Qt for Windows is at hand. Needs: qt6-base-dev, g++-mingw-w64-x86-64-posix,
# cmake, ninja-build, and Debian's source packages (deb-src entries for the machine's own
# sources are added in a file of their own, never in debian.sources).
set -euo pipefail
prefix=$(realpath -m "$1"); work=$(realpath -m "${2:-$(mktemp -d)}")
mkdir -p "$work" && cd "$work"
sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
  # The machine's own package sources, for source packages too.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /'
  fi | "${sudo[@]}" tee /etc/apt/sources.list.d/vellomar-src.$([ -f /etc/apt/sources.list.d/debian.sources ] && echo sources || echo list) >/dev/null
  "${sudo[@]}" apt-get update -qq
fi
[ -d qtbase-everywhere-src-6.4.2 ] || { apt-get source --download-only qt6-base >/dev/null; tar xJf qt6-base_6.4.2+dfsg.orig.tar.xz; }
cat > toolchain.cmake <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
# Debian's source lacks the Wacom tablet header (tabletevent off); without OpenGL the
# Windows plugin needs dynamicgl off too.
cmake -S qtbase-everywhere-src-6.4.2 -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_network=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF >configure.log
cmake --build build -j2 >build.log || { tail -30 build.log >&2; exit 1; }
cmake --install build >install.log
rm -rf "$prefix/doc"
x86_64-w64-mingw32-strip --strip-unneeded "$prefix"/bin/*.dll "$prefix"/plugins/*/*.dll
# The install remembers the toolchain file it was built with; a user chain-loads their own.
sed -i 's|^set(__qt_initially_configured_toolchain_file ".*")|set(__qt_initially_configured_toolchain_file "")|' \
  "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
echo "Qt for Windows in $prefix"
