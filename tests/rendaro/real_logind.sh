#!/bin/bash
# Rendaro.exe against systemd's own logind, through the workplace's tool: systemd booted as PID 1 of a
# systemd-nspawn container, a PAM login (su -l, pam_systemd) that starts the launcher in the user's
# session, and a logout under Debian's default KillUserProcesses=no, where the session stays "closing"
# for as long as a process of it runs and logind announces no change of its State. The launcher must
# notice the logout itself, end within a minute and write its last line. Exits 77 (skipped) where the
# tool, root or the container cannot be had.
#   real_logind.sh SOURCE_DIR BIN_DIR
tool=$1/../shared/tools/real-logind.sh
[ -f "$tool" ] || { echo "SKIPPED: no $tool beside the project"; exit 77; }
[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: a container with its own systemd takes root"; exit 77; }
bin=$(mktemp -d) && trap 'rm -rf "$bin"' EXIT && chmod 755 "$bin" && cp "$2/Rendaro.exe" "$bin/"
out=$(bash "$tool" "$bin" no 2>&1)
if echo "$out" | grep -q "^libraries missing in the container"; then
  # The tool's Debian root holds Qt and libxcb; the launcher's other libraries (libxcb-res) are
  # copied from this machine, the same Debian release, and the run made again.
  root=${LOGIND_DIR:-/tmp/real-logind}/root
  for lib in $(ldd "$2/Rendaro.exe" | awk '$3 ~ /^\// {print $3}'); do
    [ -e "$root$lib" ] || [ -e "$root/usr$lib" ] || cp -L "$lib" "$root/usr/lib/x86_64-linux-gnu/"
  done
  out=$(bash "$tool" "$bin" no 2>&1)
fi
echo "$out"
! echo "$out" | grep -qE "^(cannot install|no Debian archive|debootstrap failed|the container did not boot)" ||
  { echo "SKIPPED: no container with systemd here"; exit 77; }
echo "$out" | grep -q "^t=+0s state=closing" || { echo "FAIL: no launcher in a session that closed"; exit 1; }
ended=$(echo "$out" | sed -n 's/^t=+\([0-9]*\)s .*program=ended$/\1/p' | head -1)
[ -n "$ended" ] && [ "$ended" -le 60 ] || { echo "FAIL: the launcher still ran a minute after the logout"; exit 1; }
echo "$out" | grep -q "end of session (the session ended): " || { echo "FAIL: no end of session in rendaro.log"; exit 1; }
echo "PASS: the launcher had ended ${ended} s after the logout"
