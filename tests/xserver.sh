# shellcheck shell=bash
# A private virtual X server for the test scripts, which source this file after setting
#   work  a directory of their own, removed at exit
#   xvfb  the X server program
# and, if they start the program, keep its process id in programPid. At exit, also by INT, TERM or
# HUP, the program and the server are ended and work is removed.

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
