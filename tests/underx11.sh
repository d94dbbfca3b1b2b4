#!/usr/bin/env bash
# Runs one command in a private virtual X server, on the X11 platform, where text boxes answer the
# X11 editing keys (Ctrl+E, Ctrl+K, ...) that no other platform plugin gives them.
# usage: underx11.sh COMMAND [ARGUMENT...]   (the X server comes from $XVFB or from PATH; it ends
# after 300 s at the latest)
set -uo pipefail
xvfb=${XVFB:-Xvfb}
work=$(mktemp -d "${TMPDIR:-/tmp}/underx11.XXXXXX") || exit 1
# shellcheck source=xserver.sh source-path=SCRIPTDIR
source "$(dirname "$0")/xserver.sh" || exit 1
startXServer 300 -screen 0 1280x1024x24 || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
