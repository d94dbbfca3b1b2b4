#!/usr/bin/env bash
# Runs one command in a private virtual X server, on the X11 platform, where text boxes answer the
# X11 editing keys (Ctrl+E, Ctrl+K, ...) that no other platform plugin gives them.
# usage: underx11.sh COMMAND [ARGUMENT...]   (the X server comes from $XVFB or from PATH)
set -uo pipefail
xvfb=${XVFB:-Xvfb}
work=$(mktemp -d "${TMPDIR:-/tmp}/underx11.XXXXXX") || exit 1
"$xvfb" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfbPid=$!
trap 'kill "$xvfbPid" 2>/dev/null; wait "$xvfbPid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb "$@"
