#!/usr/bin/env bash
# Runs a command on a fresh X server with a window manager (Xvfb 1280x800x24 with openbox),
# as the window benchmarks are measured on a desktop, and stops both afterwards.
#
#   bench/window_pack/with_x_server.sh COMMAND [ARG...]
#
# The display is the first free one from :90 on; the command finds it in DISPLAY.
set -euo pipefail
command -v Xvfb > /dev/null && command -v openbox > /dev/null ||
  { echo "needs Xvfb and openbox (Debian packages xvfb, openbox)" >&2; exit 2; }

display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
openbox_pid=
cleanup() {
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2> /dev/null || true
  kill "$xvfb" 2> /dev/null || true
  wait 2> /dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
openbox > /dev/null 2>&1 &
openbox_pid=$!
# openbox owns the screen once it has set its root window property.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q window && break; sleep 0.05; done
unset QT_QPA_PLATFORM
"$@"
