#!/usr/bin/env bash
# Runs Zahlenlupe in a private virtual X server and judges what it really shows on the screen:
# the marks of the start-up search (deviation 0), then, after clicking "+1" twice and
# "Tripel anzeigen" with the pointer, the marks for deviation 2. The plot is read from screen dumps
# by xwdmarks, which computes the solutions itself. Last, a click on "X" must end the program with
# status 0; a sanitizer build fails here when it finds a leak at exit.
#
# usage: realwindow.sh PROGRAM XWDMARKS
# The X tools come from $XVFB, $XDOTOOL and $XWD, or from PATH.
set -uo pipefail

program=${1:?usage: realwindow.sh PROGRAM XWDMARKS}
marks=${2:?usage: realwindow.sh PROGRAM XWDMARKS}
xvfb=${XVFB:-Xvfb}
xdotool=${XDOTOOL:-xdotool}
xwd=${XWD:-xwd}

# Positions in the window's client area, in pixels.
readonly windowWidth=811 windowHeight=725
readonly plusOneX=192 plusOneY=22     # centre of "+1" (Command3: 176, 16, 33 x 13)
readonly searchX=312 searchY=28       # centre of "Tripel anzeigen" (Command1: 256, 16, 113 x 25)
readonly exitX=388 exitY=28           # centre of "X" (Command6: 376, 16, 25 x 25)
readonly marginX=721 marginY=408      # the canvas's grey border right of the plot (world 112, 50)

work=$(mktemp -d "${TMPDIR:-/tmp}/realwindow.XXXXXX") || exit 1
programPid=""
# shellcheck source=xserver.sh source-path=SCRIPTDIR
source "$(dirname "$0")/xserver.sh" || exit 1

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $work/program.log ]]; then
        echo "--- program output ---" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}

for tool in "$xvfb" "$xdotool" "$xwd" "$program" "$marks"; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done

# A display of our own; the server ends by itself after 55 s.
startXServer 55 -screen 0 1024x800x24 -dpi 96 -noreset ||
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
xServerAnswers "$xdotool" getdisplaygeometry || fail "the X server on $DISPLAY does not answer"

# Keep the pointer off the window while it opens.
"$xdotool" mousemove 1023 799

startProgram 50 "$program"
waitForWindow 15 "$windowWidth" "$windowHeight"
echo "window $window at $windowX,$windowY"

screenDump() { "$xwd" -root -silent -out "$work/screen.xwd"; }

# Waits up to ten seconds for the painted canvas.
waitForCanvas() {
    local out=""
    for _ in $(seq 40); do
        screenDump || fail "xwd could not dump the screen"
        out=$("$marks" painted "$work/screen.xwd" "$windowX" "$windowY" 2>&1) && return 0
        sleep 0.25
    done
    fail "after 10 s: $out"
}

# Checks the marks for a deviation; the picture gets five seconds to settle.
expectMarks() {
    local what=$1 deviation=$2 out="" status=1
    for _ in $(seq 20); do
        screenDump || fail "xwd could not dump the screen"
        out=$("$marks" check "$work/screen.xwd" "$windowX" "$windowY" "$deviation" 2>&1)
        status=$?
        [[ $status -eq 2 ]] && break
        [[ $status -eq 0 ]] && break
        sleep 0.25
    done
    echo "$what: $out"
    [[ $status -eq 0 ]] || fail "$what: the screen does not show the marks for deviation $deviation"
}

clickAt() {
    "$xdotool" mousemove --window "$window" "$1" "$2" click 1 || fail "xdotool could not click"
}

# The preview box follows the pointer over the plot and covers part of it; over the border it is
# hidden. Resting the pointer there keeps the whole plot in view.
restPointer() { "$xdotool" mousemove --window "$window" "$marginX" "$marginY"; }

waitForCanvas
restPointer
expectMarks "start-up" 0

clickAt "$plusOneX" "$plusOneY"
sleep 0.6 # two separate clicks, not a double click
clickAt "$plusOneX" "$plusOneY"
sleep 0.6
clickAt "$searchX" "$searchY"
restPointer
expectMarks "after +1, +1, Tripel anzeigen" 2

# Ctrl+P opens the print dialog. With no printer set up it prints to a PDF file named after the
# deviation, in the working folder; Return accepts it.
"$xdotool" key ctrl+p
dialog=""
for _ in $(seq 50); do
    dialog=$("$xdotool" search --onlyvisible --name '^Bild drucken$' 2>/dev/null | head -n 1)
    [[ -n $dialog ]] && break
    sleep 0.2
done
[[ -n $dialog ]] || fail "Ctrl+P opened no print dialog"
"$xdotool" windowfocus --sync "$dialog" key Return
printed=$work/zahlenlupe-abweichung-2.pdf
for _ in $(seq 50); do
    [[ -s $printed ]] && ! "$xdotool" search --onlyvisible --name '^Bild drucken$' >/dev/null &&
        break
    sleep 0.2
done
[[ $(head -c 5 "$printed" 2>/dev/null) == "%PDF-" ]] || fail "Ctrl+P printed no PDF file"
if command -v pdftotext >/dev/null; then
    pdftotext "$printed" - | grep -qx 100 || fail "the printed page has no label 100"
fi
echo "Ctrl+P: printed $(stat -c %s "$printed") bytes of PDF"

kill -0 "$programPid" 2>/dev/null || fail "the program ended by itself"

clickAt "$exitX" "$exitY"
# The timeout around the program ends it if the click does not.
wait "$programPid"
status=$?
programPid=""
[[ $status -eq 0 ]] || fail "after a click on X the program ended with status $status, expected 0"
echo "X: the program ended with status 0"
echo "PASS"
