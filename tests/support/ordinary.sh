# Sourced by shell tests: `$ordinary command [arguments...]` runs a command
# as an ordinary account, as that command's own process (its id is $! when
# run in the background), with the runtime folder a login gives
# (XDG_RUNTIME_DIR, also its HOME). Root (CI) runs it as nobody through
# setpriv and ends the test if it cannot; anyone else runs it as itself.
# The folder, $ORDINARY_DIR, is shared with the scripts this one starts;
# ordinary_done removes it where this script made it.
if [ -z "${ORDINARY_DIR:-}" ]; then
  ORDINARY_DIR=$(mktemp -d) && export ORDINARY_DIR && ordinary_made=true
  [ "$(id -u)" != 0 ] || chown 65534:65534 "$ORDINARY_DIR"
fi
if [ "$(id -u)" = 0 ]; then
  ordinary="setpriv --reuid=65534 --regid=65534 --clear-groups -- env HOME=$ORDINARY_DIR XDG_RUNTIME_DIR=$ORDINARY_DIR"
  [ "$($ordinary id -u 2>&1)" = 65534 ] || { echo "FAIL: root cannot run programs as the ordinary account nobody" >&2; exit 1; }
else
  ordinary="env HOME=$ORDINARY_DIR XDG_RUNTIME_DIR=$ORDINARY_DIR"
fi
ordinary_done() { [ -z "${ordinary_made:-}" ] || rm -rf "$ORDINARY_DIR"; }
