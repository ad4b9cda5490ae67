#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and uses the
# installed programs from there.
#   package.sh <build-dir>
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0
check() { # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}

(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/pkg/*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root
prog=$root/usr/lib/vellomar

for f in vellomar brinol.com zeptra.com Rendaro.exe vellomar-desktop; do
  check "$f is an installed program" test -x "$prog/$f"
done
for f in readme.1st license.txt; do
  check "$f lies beside the programs" test -f "$prog/$f"
done
check "bin/vellomar links to the program folder" \
  test "$(readlink -f "$root/usr/bin/vellomar")" = "$(readlink -f "$prog/vellomar")"
check "the icon is in the hicolor theme" test -f "$root/usr/share/icons/hicolor/32x32/apps/vellomar.png"
entry=$root/usr/share/applications/vellomar.desktop
check "the menu entry is valid" desktop-file-validate "$entry"
check "the menu entry starts the program folder's launcher" \
  grep -qx 'Exec=/usr/lib/vellomar/vellomar-desktop' "$entry"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
check "library dependencies are computed" grep -q 'libqt6core6' <<<"$depends"
check "the fonts packages are dependencies" grep -q 'fonts-dejavu-core, fonts-liberation' <<<"$depends"
check "lintian finds no error or warning" lintian --fail-on error,warning "$deb"

# Asked for help or the version, every program answers without a display.
for p in vellomar:"$root/usr/bin/vellomar" brinol.com:"$prog/brinol.com" zeptra.com:"$prog/zeptra.com" \
         Rendaro.exe:"$prog/Rendaro.exe"; do
  name=${p%%:*}
  check "$name --version" test "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${p#*:}" --version)" = "$name 1.0.0"
  check "$name --help" sh -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '${p#*:}' --help | grep -q sage"
done

# The installed program starts and keeps running until stopped; the
# benchmark's first-paint exit is not in it.
set +e
(cd "$tmp" && VELLOMAR_EXIT_AFTER_SHOW=1 QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/vellomar" >/dev/null 2>&1)
status=$?
set -e
check "the installed vellomar runs (status $status)" test "$status" -eq 124

# The menu launcher makes the per-user working folder.
data=$tmp/data
set +e
XDG_DATA_HOME=$data QT_QPA_PLATFORM=offscreen timeout 3 "$prog/vellomar-desktop" >/dev/null 2>&1
set -e
check "the menu launcher makes the working folder" test -f "$data/vellomar/readme.1st" -a -f "$data/vellomar/license.txt"

# The companion programs and the launcher at work in a working folder.
work=$tmp/work
mkdir -p "$work"
printf '07:30\r\n/usr/bin/true\r\nHide\r\nMonday\r\n' >"$work/Mon2.dat"
(cd "$work" && "$prog/brinol.com")
check "brinol.com gathered the entry" cmp -s "$work/Mon2.dat" "$work/datmon.dat"
check "Rendaro.exe --list reads the day list" \
  grep -q '07:30 Hide /usr/bin/true: would start at once' <(cd "$work" && "$prog/Rendaro.exe" --list --at 2026-12-07T08:00)
(cd "$work" && "$prog/zeptra.com")
check "zeptra.com cleared the data" test ! -e "$work/Mon2.dat" -a ! -e "$work/datmon.dat"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
