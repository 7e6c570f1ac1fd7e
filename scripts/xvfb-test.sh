#!/usr/bin/env bash
# Runs one test program on a virtual X server of its own (1280 x 1024, 24-bit),
# so that test programs running side by side never share a display. The
# server's frame buffer is kept as an XWD file in the folder MC_XVFB_FBDIR
# names, for tests that look at what another process drew.
# Usage: scripts/xvfb-test.sh PROGRAM [ARGS...]
set -euo pipefail

fifo=$(mktemp -u /tmp/mc-xvfb.XXXXXX)
mkfifo "$fifo"
fbdir=$(mktemp -d /tmp/mc-xvfb-fb.XXXXXX)
exec 3<>"$fifo"
rm -f "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -fbdir "$fbdir" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -rf "$fbdir"' EXIT
if ! read -r -t 30 display <&3; then
  echo "xvfb-test: the virtual X server did not start" >&2
  exit 1
fi
exec 3>&-
export DISPLAY=":$display" MC_XVFB_FBDIR="$fbdir"
# No session bus and no accessibility bridge in a bare test server.
export NO_AT_BRIDGE=1 GTK_A11Y=none
"$@"
