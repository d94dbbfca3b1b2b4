#!/usr/bin/env bash
# A soak in a real window: Zahlenlupe in a private virtual X server, driven by seeded random X
# events through xdotool (pointer moves, clicks with every button, drags, the wheel, keys and
# typing). Every ZAHLENLUPE_CHECK_EVERY events the script brings the window into a state it knows
# (plot height, radius, segment, a deviation of its own choosing, a fresh search) and judges the
# plot from screen dumps with xwdmarks, which computes the solutions itself. A box or menu that the
# events open is closed with Escape after the event that may open it and before each check. At the
# end the program is closed with its "X" button and must exit with status 0 and without a sanitizer
# report.
#
# usage: soakx.sh PROGRAM XWDMARKS
#   ZAHLENLUPE_EVENTS       number of random events (default 3000)
#   ZAHLENLUPE_SEED         seed of the event sequence (default: from the clock; printed at start)
#   ZAHLENLUPE_CHECK_EVERY  random events between two checks of the plot (default 250)
# The X tools come from $XVFB, $XDOTOOL and $XWD, or from PATH. ASAN_OPTIONS, LSAN_OPTIONS and
# UBSAN_OPTIONS get defaults that stop at the first report.
set -uo pipefail

program=${1:?usage: soakx.sh PROGRAM XWDMARKS}
marks=${2:?usage: soakx.sh PROGRAM XWDMARKS}
xvfb=${XVFB:-Xvfb}
xdotool=${XDOTOOL:-xdotool}
xwd=${XWD:-xwd}
events=${ZAHLENLUPE_EVENTS:-3000}
seed=${ZAHLENLUPE_SEED:-$(date +%s)}
checkEvery=${ZAHLENLUPE_CHECK_EVERY:-250}
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

[[ $events =~ ^[0-9]+$ && $seed =~ ^[0-9]+$ && $checkEvery =~ ^[1-9][0-9]*$ ]] || {
    echo "ZAHLENLUPE_EVENTS and ZAHLENLUPE_SEED must be whole numbers, ZAHLENLUPE_CHECK_EVERY" \
        "at least 1" >&2
    exit 2
}
echo "soak-x seed $seed, $events events, a check every $checkEvery (ZAHLENLUPE_SEED=$seed repeats)"

# The program gets a generous time for everything; running out of it is a failure.
limit=$((180 + events / 4))

# Positions in the window's client area, in pixels (twips / 15).
readonly windowWidth=811 windowHeight=725
# After the compression bar has moved, the window is 725 pixels high at the bar's end, as at the
# start: the virtual server runs no window manager, and a window without a frame keeps the client
# height the design gives it.
readonly tallest=725
readonly exitX=388 exitY=28         # centre of "X" (Command6: 376, 16, 25 x 25)
readonly infoLeft=0 infoTop=0 infoRight=17 infoBottom=17 # "i" (Command5)
readonly marginX=721 marginY=408    # the canvas's grey border right of the plot (world 112, 50)
# Presses never land near "X": the program must not end before the script ends it.
readonly exitZoneLeft=368 exitZoneTop=8 exitZoneRight=409 exitZoneBottom=49

# The controls as rectangles (left top width height), where most of the pointer's targets lie.
controls=(
    "0 0 17 17"     # Command5 "i"
    "24 16 89 25"   # Label3 "Abweichung:"
    "104 16 65 25"  # Text1, the deviation
    "176 16 33 13"  # Command3 "+1"
    "176 32 33 13"  # Command4 "-1"
    "216 16 41 25"  # Command2 "cls"
    "256 16 113 25" # Command1 "Tripel anzeigen"
    "416 16 33 19"  # txtX1
    "416 32 49 9"   # hscX1
    "432 8 49 9"    # hscY1
    "448 16 33 19"  # txtY1
    "536 16 33 19"  # txtX2
    "536 32 49 9"   # hscX2
    "552 8 49 9"    # hscY2
    "568 16 33 19"  # txtY2
    "624 16 65 25"  # Label1 "Anzahl:"
    "704 16 65 25"  # txtAnzahl
    "776 48 25 25"  # Label4 "H"
    "776 64 25 153" # vscBildschirm
    "24 48 137 17"  # Label2 "Radius des Kreises"
    "160 48 57 19"  # txtRadius
    "216 48 545 17" # hscRadius
    "24 64 737 25"  # txtHilfe
    "24 640 80 73"  # the foot of the radius circle, where Text2 stands for small radii
)
# The text boxes that typing goes into, and what the keyboard may click before Space or Return.
textBoxes=(2 7 10 11 14 16 20 22 23)
pushable=(0 2 3 4 5 6 7 8 9 10 11 12 13 14 16 18 20 21)

# Keys the window answers. Space, Return and Enter are left out (they would press "X" when it has
# the focus) and so are Ctrl+Q (quits), Ctrl+S and Ctrl+L (file dialogs).
keys=(Left Right Up Down Home End Prior Next BackSpace Delete Escape Tab shift+Tab
    shift+Left shift+Right shift+Home shift+End ctrl+a ctrl+c ctrl+x ctrl+v ctrl+z ctrl+y
    ctrl+shift+z ctrl+shift+c ctrl+Left ctrl+Right ctrl+BackSpace ctrl+k ctrl+e Menu
    0 1 2 3 5 7 9 minus period comma e)
typed=(0 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 minus minus period comma plus e E a x H ampersand)

work=$(mktemp -d "${TMPDIR:-/tmp}/soakx.XXXXXX") || exit 1
programPid=""
ownDisplay=""
# shellcheck source=xserver.sh source-path=SCRIPTDIR
source "$here/xserver.sh" || exit 1

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $work/events.log ]]; then
        echo "--- the last events (seed $seed) ---" >&2
        tail -n 25 "$work/events.log" >&2
    fi
    if [[ -n $ownDisplay ]]; then
        echo "--- windows on the screen ---" >&2
        local shown
        for shown in $("$xdotool" search --onlyvisible --name '' 2>/dev/null); do
            echo "$shown \"$("$xdotool" getwindowname "$shown" 2>/dev/null)\"" \
                "$("$xdotool" getwindowgeometry "$shown" 2>/dev/null | sed -n 's/^ *//p' | tr '\n' ' ')" >&2
        done
    fi
    if [[ -s $work/screen.xwd ]]; then
        local kept="${TMPDIR:-/tmp}/soakx-$seed.xwd"
        cp "$work/screen.xwd" "$kept" && echo "last screen dump kept in $kept" >&2
    fi
    if [[ -s $work/program.log ]]; then
        echo "--- program output ---" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}

for tool in "$xvfb" "$xdotool" "$xwd" "$program" "$marks"; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done

# A display of our own; the server ends by itself after the time limit.
startXServer $((limit + 60)) -screen 0 1024x800x24 -dpi 96 -noreset ||
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
xServerAnswers "$xdotool" getdisplaygeometry || fail "the X server on $DISPLAY does not answer"
ownDisplay=1

"$xdotool" mousemove 1023 799
serverWindows=$("$xdotool" search --onlyvisible --name '' 2>/dev/null | tr '\n' ' ')

startProgram "$limit" "$program"
started=$SECONDS
waitForWindow 30 "$windowWidth" "$windowHeight"

# The program itself, not the timeout in front of it: its processor time tells when it is idle.
read -r programTid _ <"/proc/$programPid/task/$programPid/children" 2>/dev/null
[[ -n ${programTid:-} ]] || fail "cannot find the program's process under timeout"

cpuTicks() {
    local stat
    stat=$(<"/proc/$programTid/stat") || return 1
    stat=${stat##*) }
    local fields
    read -ra fields <<<"$stat"
    echo $((fields[11] + fields[12]))
}

# Waits until the program has worked through the events sent so far: its processor time stands
# still (at most one clock tick, which a blinking text cursor may cost) for three tenths of a
# second. X routes each event when it is sent, so events sent while the program is still busy
# with earlier ones may reach a window that is about to be covered by a modal box.
waitIdle() {
    local deadline=$((SECONDS + 120)) last now calm=0
    last=$(cpuTicks) || fail "the program ended unexpectedly"
    while ((calm < 3)); do
        ((SECONDS < deadline)) || fail "the program was still busy after 120 s"
        sleep 0.1
        now=$(cpuTicks) || {
            wait "$programPid"
            fail "the program ended with status $? in the middle of the soak"
        }
        if ((now - last <= 1)); then ((++calm)); else calm=0; fi
        last=$now
    done
}

# Random numbers from bash's generator, seeded once: the same seed gives the same events.
RANDOM=$seed
# below N: sets r to a random whole number 0..N-1 (N up to 2^30).
below() { r=$((((RANDOM << 15) | RANDOM) % $1)); }

# xdotool waits 100 ms after a click and 12 ms after a key unless told otherwise.
readonly click="click --delay 1" key="key --delay 1"
batch=()
sent=0
eventLog() { echo "$sent: $*" >>"$work/events.log"; }
send() { batch+=("$@"); }
flush() {
    ((${#batch[@]} > 0)) || return 0
    printf '%s\n' "${batch[@]}" >"$work/batch.xdo"
    batch=()
    "$xdotool" "$work/batch.xdo" || fail "xdotool could not send the events in $(cat "$work/batch.xdo")"
}

# Sets px, py: a point in the window, on a control about half the time.
pickPoint() {
    below 100
    if ((r < 45)); then
        below ${#controls[@]}
        pickIn "${controls[r]}"
    else
        below $windowWidth
        px=$r
        below $tallest
        py=$r
    fi
}
# pickIn "LEFT TOP WIDTH HEIGHT": sets px, py to a point inside the rectangle.
pickIn() {
    local left top width height
    read -r left top width height <<<"$1"
    below "$width"
    px=$((left + r))
    below "$height"
    py=$((top + r))
}
nearExit() {
    ((px >= exitZoneLeft && px < exitZoneRight && py >= exitZoneTop && py < exitZoneBottom))
}
# A point to press a button at: anywhere but near "X".
pickPressPoint() {
    pickPoint
    while nearExit; do pickPoint; done
}
onInfo() { ((px >= infoLeft && px < infoRight && py >= infoTop && py < infoBottom)); }
moveTo() { send "mousemove $((windowX + px)) $((windowY + py))"; }

# The windows on the screen besides the server's own and the program's main window: a message
# box, a menu, a tool tip.
otherWindows() {
    local id
    for id in $("$xdotool" search --onlyvisible --name '' 2>/dev/null); do
        [[ $id == "$window" || " $serverWindows " == *" $id "* ]] || echo "$id"
    done
}

# Closes the program's other windows: Escape, with the pointer on the window. A box left open
# would hold all input from the main window. Returns 1 when there was nothing to close.
closeWindows() {
    local other rounds closed=1 boxX boxY
    for ((rounds = 0; rounds < 5; ++rounds)); do
        other=$(otherWindows | head -n 1)
        [[ -n $other ]] || return $closed
        eventLog "closing \"$("$xdotool" getwindowname "$other" 2>/dev/null)\" with Escape"
        ((++closings))
        boxX=0 boxY=0
        eval "$("$xdotool" getwindowgeometry --shell "$other" 2>/dev/null | sed -n 's/^\([XY]\)=\([0-9]*\)$/box\1=\2/p')"
        "$xdotool" mousemove $((boxX + 20)) $((boxY + 20)) key --delay 1 Escape
        waitIdle
        closed=0
    done
    fail "windows that Escape does not close: $(otherWindows | tr '\n' ' ')"
}

# One random event. A press on "i" and the copy key are sent at once, and the box they may open
# (the copy key over an empty plot warns) is closed again.
randomEvent() {
    local kind button n opens=0
    below 100
    kind=$r
    if ((kind < 28)); then
        below 4
        n=$((r + 1))
        for ((; n > 0; --n)); do
            pickPoint
            moveTo
        done
        eventLog "move to $px,$py"
    elif ((kind < 52)); then
        pickPressPoint
        below 10
        if ((r < 6)); then button=1; elif ((r < 9)); then button=3; else button=2; fi
        moveTo
        below 10
        if ((r == 0)); then
            send "click --repeat 2 --delay 40 $button"
            eventLog "double click $button at $px,$py"
        elif ((r == 1)); then
            below 2
            local modifier=(shift ctrl)
            send "keydown ${modifier[r]}" "$click $button" "keyup ${modifier[r]}"
            eventLog "${modifier[r]} click $button at $px,$py"
        else
            send "$click $button"
            eventLog "click $button at $px,$py"
        fi
        ((button == 1)) && onInfo && opens=1
    elif ((kind < 62)); then
        pickPressPoint
        below 4
        if ((r < 3)); then button=1; else button=3; fi
        ((button == 1)) && onInfo && opens=1
        moveTo
        local from="$px,$py"
        send "mousedown $button"
        below 6
        n=$((r + 1))
        for ((; n > 0; --n)); do
            pickPoint
            moveTo
        done
        pickPressPoint
        moveTo
        # Now and then the button is held, long enough for a scroll bar's arrow to repeat.
        local held=""
        below 20
        ((r == 0)) && send "sleep 0.4" && held=" (held)"
        send "mouseup $button"
        eventLog "drag $button from $from to $px,$py$held"
    elif ((kind < 72)); then
        pickPoint
        moveTo
        below 10
        if ((r < 4)); then button=4; elif ((r < 8)); then button=5; elif ((r < 9)); then
            button=6
        else button=7; fi
        below 5
        send "click --repeat $((r + 1)) --delay 10 $button"
        eventLog "wheel $button x$((r + 1)) at $px,$py"
    elif ((kind < 86)); then
        below ${#keys[@]}
        send "$key ${keys[r]}"
        eventLog "key ${keys[r]}"
        [[ ${keys[r]} == ctrl+shift+c ]] && opens=1
    elif ((kind < 96)); then
        below ${#textBoxes[@]}
        pickIn "${controls[textBoxes[r]]}"
        moveTo
        send "$click 1"
        below 6
        n=$((r + 1))
        local text=()
        for ((; n > 0; --n)); do
            below ${#typed[@]}
            text+=("${typed[r]}")
        done
        send "$key ${text[*]}"
        eventLog "at $px,$py type ${text[*]}"
    else
        below ${#pushable[@]}
        pickIn "${controls[pushable[r]]}"
        moveTo
        below 2
        local pressed=(space Return)
        send "$click 1" "$key ${pressed[r]}"
        eventLog "at $px,$py click, ${pressed[r]}"
        onInfo && opens=1
    fi
    if ((opens)); then
        flush
        waitIdle
        closeWindows
    fi
    return 0
}

# keys N: the keys that type the whole number N.
numberKeys() {
    local number=$1 spelled=() i c
    for ((i = 0; i < ${#number}; ++i)); do
        c=${number:i:1}
        [[ $c == - ]] && c=minus
        spelled+=("$c")
    done
    echo "${spelled[*]}"
}

checks=0
closings=0
# Brings the window into a known state and compares the plot with the solutions: the full plot
# height (the compression bar to its end), the radius by its bar to 0 and then typed into its label,
# both segment points to (0, 0) so that the segment lines cover no cell, a deviation typed into its
# box, "cls" and "Tripel anzeigen", and the pointer resting on the grey border so that the preview
# box is hidden. "cls" first: a picture that passes can only come from the search that follows.
checkPlot() {
    local deviation radius out="" status=1 deadline
    flush
    waitIdle
    closeWindows

    below 140
    radius=$r
    below 10
    if ((r < 8)); then
        below 1001
        deviation=$((r - 500))
    else
        below 40001
        deviation=$((r - 20000))
    fi
    eventLog "check: deviation $deviation, radius $radius"
    # The compression bar by the keyboard: at its lowest the window ends above the bar. From the
    # deviation box, six Tabs reach it (over "cls", "+1", "-1", "i" and the count).
    send "mousemove $((windowX + 136)) $((windowY + 28))" "$click 1" \
        "$key Tab Tab Tab Tab Tab Tab End"
    flush
    waitIdle # the window has its full height again before anything below its old height is sent
    send "mousemove $((windowX + 224)) $((windowY + 56))" "$click 1" "$key Home"
    send "mousemove $((windowX + 40)) $((windowY + 690))" "$click 1" "$key ctrl+a $(numberKeys "$radius")"
    local bar
    for bar in "440 36" "456 12" "560 36" "576 12"; do
        send "mousemove $((windowX + ${bar% *})) $((windowY + ${bar#* }))" "$click 1" "$key Home"
    done
    send "mousemove $((windowX + 136)) $((windowY + 28))" "$click 1" \
        "$key ctrl+a $(numberKeys "$deviation")"
    send "mousemove $((windowX + 236)) $((windowY + 28))" "$click 1"
    send "mousemove $((windowX + 312)) $((windowY + 28))" "$click 1"
    send "mousemove $((windowX + marginX)) $((windowY + marginY))"
    flush
    waitIdle

    # The picture settles: two dumps in a row alike, then the marks must be right.
    deadline=$((SECONDS + 60))
    rm -f "$work/previous.xwd"
    while ((SECONDS < deadline)); do
        "$xwd" -root -silent -out "$work/screen.xwd" || fail "xwd could not dump the screen"
        if cmp -s "$work/screen.xwd" "$work/previous.xwd"; then
            out=$("$marks" check "$work/screen.xwd" "$windowX" "$windowY" "$deviation" "$radius" 2>&1)
            status=$?
            [[ $status -eq 0 || $status -eq 2 ]] && break
        fi
        cp -f "$work/screen.xwd" "$work/previous.xwd"
        sleep 0.2
    done
    ((++checks))
    echo "[$SECONDS s] after $sent events: $out"
    [[ $status -eq 0 ]] || fail "after $sent events the plot does not show the marks for deviation $deviation"
}

waitIdle
while ((sent < events)); do
    randomEvent
    ((++sent))
    if ((sent % checkEvery == 0)); then
        checkPlot
    elif ((${#batch[@]} >= 150)); then
        flush
    fi
done
((sent % checkEvery == 0 && sent > 0)) || checkPlot

# The end: "X", then the program must exit by itself with status 0 and no sanitizer report.
"$xdotool" mousemove $((windowX + exitX)) $((windowY + exitY)) click --delay 1 1
for _ in $(seq 600); do
    kill -0 "$programPid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$programPid" 2>/dev/null && fail "the program still runs 60 s after a click on X"
wait "$programPid"
status=$?
programPid=""
elapsed=$((SECONDS - started))
[[ $status -eq 124 ]] && fail "the program ran out of its $limit s"
[[ $status -eq 0 ]] || fail "the program ended with status $status after a click on X"
if grep -qE 'Sanitizer|runtime error:' "$work/program.log"; then
    fail "the program's output holds a sanitizer report"
fi
if [[ -s $work/program.log ]]; then
    echo "--- program output ---"
    cat "$work/program.log"
fi
echo "PASS: $sent random events, $checks checks of the plot, $closings boxes or menus closed," \
    "$elapsed s, seed $seed; ended by X with status 0"
