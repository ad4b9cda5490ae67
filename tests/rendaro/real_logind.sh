#!/bin/bash
# Rendaro.exe against systemd's own logind: systemd booted as PID 1 of a systemd-nspawn container, a
# real PAM login (su -l, through pam_systemd) that starts the launcher inside the user's session, and
# a logout under Debian's default KillUserProcesses=no, where the session stays "closing" for as long
# as a process of it runs and logind announces no change of its State. The launcher must notice the
# logout itself, end within a minute, and write its last line.
#
#   real_logind.sh BIN_DIR
#
# Needs root, debootstrap and systemd-nspawn; the container's Debian root is made once with
# debootstrap from the archive apt already uses (about 400 MB under $LOGIND_DIR, default
# /var/tmp/vellomar-logind) and kept for later runs. Exits 77 (skipped) where it cannot run.
set -u
BIN=$(cd "${1:?usage: real_logind.sh BIN_DIR}" && pwd)
W=${LOGIND_DIR:-/var/tmp/vellomar-logind}
R=$W/root
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "a container with its own systemd takes root"
command -v debootstrap >/dev/null && command -v systemd-nspawn >/dev/null || skip "debootstrap or systemd-nspawn is not installed"
mkdir -p "$W" && cd "$W" || exit 1
if [ ! -x "$R/lib/systemd/systemd" ]; then
  mirror=$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null |
    grep -m1 -oE 'https?://[^ ]+/debian/?$|https?://[^ ]+/debian ' | tr -d ' ')
  [ -n "$mirror" ] || skip "no Debian archive in apt's sources"
  rm -rf "$R"
  debootstrap --variant=minbase \
    --include=systemd,systemd-sysv,dbus,libpam-systemd,login,passwd,util-linux,procps,libqt6core6,libqt6dbus6,libxcb1 \
    bookworm "$R" "$mirror" >debootstrap.log 2>&1 || { tail -5 debootstrap.log; skip "debootstrap failed (no archive within reach?)"; }
fi

# The launcher, a user, and a working folder with today's list: one entry late tonight, so that it waits.
rm -rf "$R/opt/rendaro" && mkdir -p "$R/opt/rendaro" && cp "$BIN/Rendaro.exe" "$R/opt/rendaro/"
chroot "$R" ldd /opt/rendaro/Rendaro.exe | grep "not found" && fail "libraries missing in the container"
echo logindtest >"$R/etc/hostname"
chroot "$R" id vuser >/dev/null 2>&1 || chroot "$R" useradd -m -s /bin/bash vuser || fail "cannot add the account vuser"
uid=$(chroot "$R" id -u vuser)
rm -rf "$R/home/vuser/rd" && install -d -m 700 -o "$uid" -g "$uid" "$R/home/vuser/rd"
day=$(LC_ALL=C date +%A); code=$(echo "${day:0:3}" | tr 'A-Z' 'a-z')
printf '23:59\r\n/usr/bin/true\r\nHide\r\n%s\r\n' "$day" >"$R/home/vuser/rd/dat$code.dat"
chown "$uid:$uid" "$R/home/vuser/rd/dat$code.dat"
mkdir -p "$R/etc/systemd/logind.conf.d"
printf '[Login]\nKillUserProcesses=no\n' >"$R/etc/systemd/logind.conf.d/kill.conf"
cat >"$R/root/session.sh" <<'SESSION'
#!/bin/sh
# A PAM login on a pty; the launcher starts detached inside the session; after $1 s the shell exits.
exec script -qfec "su -l vuser -c 'cd ~/rd && setsid -f /opt/rendaro/Rendaro.exe </dev/null >/dev/null 2>&1; sleep $1'" /root/typescript.log
SESSION
chmod +x "$R/root/session.sh"

# Boot. Without systemd on the host, nspawn needs --register=no --keep-unit.
setsid systemd-nspawn -D "$R" --register=no --keep-unit --console=passive -M logindtest -b >nspawn.log 2>&1 &
ns=$!
poweroff() { [ -n "${c:-}" ] && nsenter -t "$c" -a systemctl poweroff; wait "$ns"; }
for i in $(seq 30); do c=$(ps -o pid=,comm= --ppid $ns | awk '$2=="systemd"{print $1}'); [ -n "$c" ] && break; sleep 1; done
[ -n "${c:-}" ] || { kill $ns; cat nspawn.log; skip "the container did not boot"; }
E="nsenter -t $c -a"
for i in $(seq 60); do s=$($E systemctl is-system-running 2>/dev/null); [ "$s" = running ] || [ "$s" = degraded ] && break; sleep 1; done
$E systemd-run -q --unit=login-vuser /root/session.sh 5
sleep 3
sid=$($E loginctl list-sessions --no-legend | awk '$3=="vuser"{print $1; exit}')
lp=$($E sh -c 'ps -o pid= -o comm= -u vuser | awk "\$2 ~ /^Rendaro/{print \$1}"' | head -n 1)
[ -n "$sid" ] && [ -n "$lp" ] || { poweroff; fail "no session or no launcher: session '$sid', launcher '$lp'"; }
sleep 3
echo "session $sid, launcher $lp; logged out at $(date +%T)"
ended=""
for t in $(seq 0 5 75); do
  st=$($E loginctl show-session "$sid" -p State --value 2>/dev/null || echo gone)
  if $E kill -0 "$lp" 2>/dev/null; then alive=running; else alive=ended; ended=${ended:-$t}; fi
  echo "t=+${t}s state=$st launcher=$alive"
  [ -n "$ended" ] && break
  sleep 5
done
log=$(cat "$R/home/vuser/rd/rendaro.log")
echo "--- rendaro.log"; echo "$log"
$E loginctl kill-session "$sid" 2>/dev/null
poweroff
[ -n "$ended" ] && [ "$ended" -le 60 ] || fail "the launcher still ran a minute after the logout"
echo "$log" | grep -q "end of session (the session ended): " || fail "no end of session in rendaro.log"
echo "PASS: the launcher ended ${ended} s after the logout"
