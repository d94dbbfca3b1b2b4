#!/usr/bin/env bash
# Runs Zahlenlupe on Qt's Wayland platform in a private headless weston and judges what the
# compositor has of it: the window at its size, with the app id of the desktop entry, and the
# marks of the opening picture in a screenshot. weston's debug protocol (--debug) serves both the
# scene graph, where each window stands with its app id and place, and the screenshooter; the
# pixman renderer gives the screenshot its pixels. A headless compositor has no pointer, so the
# preview box stays at its design place, and xwdmarks leaves out the cells it covers.
#
# usage: wayland.sh PROGRAM XWDMARKS
# The weston tools come from $WESTON, $WESTON_DEBUG and $WESTON_SCREENSHOOTER, or from PATH.
set -uo pipefail

program=${1:?usage: wayland.sh PROGRAM XWDMARKS}
marks=${2:?usage: wayland.sh PROGRAM XWDMARKS}
weston=${WESTON:-weston}
debug=${WESTON_DEBUG:-weston-debug}
shooter=${WESTON_SCREENSHOOTER:-weston-screenshooter}
readonly appId=de.zahlenlupe.Zahlenlupe windowSize=811x725

work=$(mktemp -d "${TMPDIR:-/tmp}/wayland.XXXXXX") || exit 1
westonPid="" programPid=""

stopProcess() {
    [[ -n $1 ]] || return 0
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanUp() {
    stopProcess "$programPid"
    stopProcess "$westonPid"
    rm -rf "$work"
}
trap cleanUp EXIT
trap 'exit 130' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    for log in weston program; do
        [[ -s $work/$log.log ]] || continue
        echo "--- $log output ---" >&2
        tail -n 30 "$work/$log.log" >&2
    done
    exit 1
}

for tool in "$weston" "$debug" "$shooter" "$program" "$marks"; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done

# A runtime directory and socket of our own; nothing may fall back to an X server.
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work WAYLAND_DISPLAY=zahlenlupe-test
unset DISPLAY
# The timeouts end the compositor and the program even if this script is killed without its trap.
timeout 55 "$weston" --backend=headless-backend.so --use-pixman --width=1024 --height=800 \
    --socket="$WAYLAND_DISPLAY" --no-config --idle-time=0 --debug >"$work/weston.log" 2>&1 &
westonPid=$!
for _ in $(seq 50); do
    [[ -S $work/$WAYLAND_DISPLAY ]] && break
    kill -0 "$westonPid" 2>/dev/null || fail "weston ended before it opened its socket"
    sleep 0.1
done
[[ -S $work/$WAYLAND_DISPLAY ]] || fail "weston opened no socket within 5 s"
echo "headless weston on $WAYLAND_DISPLAY"

# Without Qt's own title bar the surface is the window's client area.
env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE \
    QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 \
    timeout 50 "$program" >"$work/program.log" 2>&1 &
programPid=$!

# In the scene graph a window reads "View N (role xdg_toplevel, ..., top-level window 'TITLE' of
# APP_ID, 0x...):", and its place follows as "position: (X1, Y1) -> (X2, Y2)".
view=""
for _ in $(seq 75); do
    if ! kill -0 "$programPid" 2>/dev/null; then
        wait "$programPid"
        fail "the program ended with status $? before its window appeared"
    fi
    view=$(timeout 5 "$debug" scene-graph 2>/dev/null |
        awk '/role xdg_toplevel/ && /window .Zahlenlupe/ { found = 1; print; next }
             found && /position:/ { print; exit }')
    [[ $view == *position:* ]] && break
    sleep 0.2
done
[[ $view == *position:* ]] || fail "no window titled Zahlenlupe in weston's scene graph in 15 s"
shownId=$(sed -n "1s/.*' of \(.*\), 0x[0-9a-f]*):$/\1/p" <<<"$view")
[[ $shownId == "$appId" ]] || fail "the window's app id is \"$shownId\", expected $appId"
place='position: \((-?[0-9]+), (-?[0-9]+)\) -> \((-?[0-9]+), (-?[0-9]+)\)'
[[ $view =~ $place ]] || fail "unreadable window place: $view"
windowX=${BASH_REMATCH[1]} windowY=${BASH_REMATCH[2]}
size=$((BASH_REMATCH[3] - windowX))x$((BASH_REMATCH[4] - windowY))
[[ $size == "$windowSize" ]] || fail "window is $size pixels, expected $windowSize"
echo "window of $appId at $windowX,$windowY, $size pixels"

# The screenshooter names its file after the time; each try gets an empty folder.
out=""
for _ in $(seq 40); do
    rm -rf "$work/shot" && mkdir "$work/shot"
    (cd "$work/shot" && timeout 5 "$shooter" >/dev/null 2>&1)
    shot=$(find "$work/shot" -name '*.png' | head -n 1)
    if [[ -n $shot ]]; then
        out=$("$marks" painted "$shot" "$windowX" "$windowY" 2>&1) && break
    fi
    out=${out:-"weston-screenshooter wrote no screenshot"}
    shot=""
    sleep 0.25
done
[[ -n $shot ]] || fail "after 10 s: $out"
out=$("$marks" opening "$shot" "$windowX" "$windowY" 2>&1)
status=$?
echo "opening picture: $out"
[[ $status -eq 0 ]] || fail "the screenshot does not show the opening marks"
echo "PASS"
