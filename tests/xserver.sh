# shellcheck shell=bash
# A private virtual X server for the test scripts, and the program in it. A script sets
#   work  a directory of its own, removed at exit
#   xvfb  the X server program
# before it sources this file; one that starts the program also sets xdotool and defines fail. At
# exit, also by INT, TERM or HUP, the program and the server are ended and work is removed.

xvfbPid=""

stopProcess() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

cleanUp() {
    stopProcess "${programPid:-}"
    stopProcess "$xvfbPid"
    rm -rf "${work:?}"
}
trap cleanUp EXIT
trap 'exit 130' INT TERM HUP

# startXServer LIFETIME [XVFB-ARGUMENT...]: starts the server on a display it picks itself
# (-displayfd: it takes the first one that is free, and Xvfb tells the number only once it accepts
# connections) and exports DISPLAY. The server ends after LIFETIME seconds even if this script is
# killed without running its trap. Returns 1 when the server did not start; $work/xvfb.log then
# says why.
startXServer() {
    local lifetime=$1 number=""
    shift
    : >"$work/display" # there before the first look at it
    timeout "$lifetime" "${xvfb:?}" -displayfd 3 -nolisten tcp "$@" \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfbPid=$!
    for _ in $(seq 100); do
        read -r number <"$work/display" && [[ $number =~ ^[0-9]+$ ]] && break
        number=""
        kill -0 "$xvfbPid" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -z $number ]]; then
        stopProcess "$xvfbPid"
        xvfbPid=""
        return 1
    fi
    export DISPLAY=":$number"
    echo "virtual X server on $DISPLAY"
}

# xServerAnswers COMMAND...: waits up to five seconds until COMMAND, a request to the server,
# succeeds.
xServerAnswers() {
    for _ in $(seq 50); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# startProgram SECONDS PROGRAM: starts the program on the server's display, on the X11 platform at
# scale 1, in $work as its working and home folder and with a runtime directory of its own, its
# output in $work/program.log. The timeout in front of it ends it after SECONDS.
startProgram() {
    local program
    program=$(readlink -f "$(command -v "$2")") # it runs from $work
    mkdir -m 700 "$work/runtime"
    env -C "$work" -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_AUTO_SCREEN_SCALE_FACTOR \
        -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u WAYLAND_DISPLAY HOME="$work" \
        QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=0 XDG_RUNTIME_DIR="$work/runtime" \
        timeout "$1" "$program" >"$work/program.log" 2>&1 &
    programPid=$!
}

# waitForWindow SECONDS WIDTH HEIGHT: waits for the program's window and sets window, windowX and
# windowY. Fails when the program ends first, when no window appears in time or when the window is
# not WIDTH x HEIGHT pixels.
waitForWindow() {
    local seconds=$1 width=$2 height=$3 geometry
    window=""
    for _ in $(seq $((seconds * 5))); do
        window=$("${xdotool:?}" search --onlyvisible --name '^Zahlenlupe' 2>/dev/null | head -n 1)
        [[ -n $window ]] && break
        if ! kill -0 "$programPid" 2>/dev/null; then
            wait "$programPid"
            fail "the program ended with status $? before its window appeared"
        fi
        sleep 0.2
    done
    [[ -n $window ]] || fail "no window titled Zahlenlupe appeared within $seconds s"
    geometry=$("$xdotool" getwindowgeometry --shell "$window")
    value() { sed -n "s/^$1=\([0-9-]*\)$/\1/p" <<<"$geometry"; }
    windowX=$(value X)
    windowY=$(value Y)
    [[ -n $windowX && -n $windowY ]] || fail "unreadable window geometry: $geometry"
    [[ $(value WIDTH)x$(value HEIGHT) == "${width}x$height" ]] ||
        fail "window is $(value WIDTH)x$(value HEIGHT) pixels, expected ${width}x$height"
}
