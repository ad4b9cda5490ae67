#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and uses the
# installed programs from there.
#   package.sh <build-dir>
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0
check() { # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}

(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/pkg/*.deb)
dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root prog=$tmp/root/usr/lib/vellomar

for f in vellomar brinol.com zeptra.com Rendaro.exe vellomar-desktop; do check "$f is installed" test -x "$prog/$f"; done
check "readme.1st and license.txt lie beside the programs" test -f "$prog/readme.1st" -a -f "$prog/license.txt"
check "bin/vellomar links to the program folder" test "$(readlink -f "$root/usr/bin/vellomar")" = "$(readlink -f "$prog/vellomar")"
icons=$root/usr/share/icons/hicolor
check "the scalable icon is in the hicolor theme" grep -q '<svg' "$icons/scalable/apps/vellomar.svg"
for size in 16 32 48 256; do
  check "the ${size}x$size icon is in the hicolor theme" grep -q "${size} x ${size}" <<<"$(file "$icons/${size}x$size/apps/vellomar.png")"
done
entry=$root/usr/share/applications/vellomar.desktop
check "the menu entry is valid" desktop-file-validate "$entry"
check "the menu entry starts the program folder's launcher" grep -qx 'Exec=/usr/lib/vellomar/vellomar-desktop' "$entry"
metainfo=$root/usr/share/metainfo/org.example.vellomar.metainfo.xml
check "the AppStream metadata is valid, a content rating included" appstreamcli validate --no-net --strict "$metainfo"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
check "the AppStream metadata launches the package's menu entry ($launchable)" test -n "$launchable" -a "$root/usr/share/applications/$launchable" -ef "$entry"
depends=$(dpkg-deb -f "$deb" Depends)
check "library dependencies are computed: $depends" grep -q 'libqt6core6' <<<"$depends"
check "the fonts packages are dependencies: $depends" grep -q 'fonts-dejavu-core, fonts-liberation' <<<"$depends"
check "Qt's Wayland plugin is recommended" grep -qx 'qt6-wayland' <<<"$(dpkg-deb -f "$deb" Recommends)"
check "lintian finds no error or warning" lintian --fail-on error,warning "$deb"

# Asked for help or the version, every program answers without a display;
# an option it does not know ends it with status 2 and the reason on
# standard error.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for p in "$root/usr/bin/vellomar" "$prog/brinol.com" "$prog/zeptra.com" "$prog/Rendaro.exe"; do
  name=${p##*/}
  check "$name --version" test "$("$p" --version)" = "$name 1.0.0"
  check "$name --help" grep -q sage <<<"$("$p" --help)"
  out=$(cd "$tmp" && "$p" --no-such-option 2>"$tmp/err") && status=0 || status=$?
  check "$name refuses an unknown option (status $status)" test "$status" -eq 2 -a -z "$out" -a -s "$tmp/err"
done

# The installed program starts and keeps running until stopped; the
# benchmark's first-paint exit (bench/ExitAfterFirstPaint.cpp) is not in it.
status=0
(cd "$tmp" && QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/vellomar" >/dev/null 2>&1) || status=$?
check "the installed vellomar runs (status $status)" test "$status" -eq 124

# The menu launcher makes the per-user working folder.
XDG_DATA_HOME=$tmp/data QT_QPA_PLATFORM=offscreen timeout 3 "$prog/vellomar-desktop" >/dev/null 2>&1 || true
check "the menu launcher makes the working folder" test -f "$tmp/data/vellomar/readme.1st" -a -f "$tmp/data/vellomar/license.txt"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
