#!/usr/bin/env bash
# Cross-builds the Windows-only platform code with its test program and runs
# it under Wine in a new, temporary Wine prefix.
#
#   run-windows-tests.sh <cmake> <source dir> <cross build dir> <cross compiler> <wine>
#
# The cross build stays in <cross build dir>, so a second run only rebuilds
# what changed. A missing cross compiler or Wine is a failure, not a skip.
set -euo pipefail

cmake=$1 source=$2 cross=$3 compiler=$4 wine=$5

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -x "$compiler" ] || fail "no MinGW-w64 cross compiler (x86_64-w64-mingw32-g++-posix, Debian package" \
  "g++-mingw-w64-x86-64-posix); 'bash scripts/dev.sh test' installs it; reconfigure the build afterwards"
[ -x "$wine" ] || fail "no Wine (/usr/lib/wine/wine64, Debian package wine64); 'bash scripts/dev.sh test'" \
  "installs it; reconfigure the build afterwards"
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || fail "no wineserver beside $wine"

now() { date +%s.%N; }
took() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f s", to - from }'; }

started=$(now)
if [ ! -f "$cross/CMakeCache.txt" ]; then
  "$cmake" -S "$source/tests/windows/cross" -B "$cross" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null \
    || fail "configuring the cross build in $cross"
fi
"$cmake" --build "$cross" >/dev/null || { "$cmake" --build "$cross"; fail "cross-building the Windows tests"; }

echo "cross build: $(took "$started")"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vellomar-wine.XXXXXX")
export WINEPREFIX=$scratch/prefix
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no menu entries written into HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  "$wineserver" -w >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
trap "exit 143" TERM INT

started=$(now)
"$wine" wineboot -i >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log" >&2; fail "creating the Wine prefix"; }
echo "new Wine prefix: $(took "$started")"

# Wine reaches the build tree through its Z: drive, the whole Unix file system.
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
started=$(now)
status=0
"$wine" "$cross/winplat_tests.exe" "$(to_windows "$cross/report_helper.exe")" || status=$?
echo "test program under Wine: $(took "$started")"
[ "$status" -eq 0 ] || echo "FAIL: winplat_tests.exe ended with exit code $status" >&2
exit "$status"
