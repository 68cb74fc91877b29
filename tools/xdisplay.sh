# A real desktop to run the game in: an X server (Xvfb) of a chosen size with
# a window manager (openbox), for the scripts that try the game as a player
# would (sourced, POSIX sh, after tools/bounded.sh).
#
#   xStart WIDTH HEIGHT   starts both and exports DISPLAY; every wait bounded
#   xStop                 ends both (also safe when nothing was started)

xStart() {
    xStop
    # The first display number no other X server holds.
    xNumber=90
    while [ -e "/tmp/.X11-unix/X$xNumber" ] || [ -e "/tmp/.X$xNumber-lock" ]; do
        xNumber=$((xNumber + 1))
    done
    export DISPLAY=":$xNumber"
    Xvfb "$DISPLAY" -screen 0 "${1}x${2}x24" -nolisten tcp >/dev/null 2>&1 &
    xServer=$!
    waitFor 20 "the X server on $DISPLAY" xdpyinfo >/dev/null 2>&1
    openbox >/dev/null 2>&1 &
    xManager=$!
    # openbox names itself on the root window once it manages the screen.
    waitFor 20 "openbox to manage $DISPLAY" xWindowManaged
}

xWindowManaged() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

xStop() {
    for pid in ${xManager:-} ${xServer:-}; do
        kill "$pid" 2>/dev/null || true
        waitFor 10 "process $pid to end" ended "$pid"
        wait "$pid" 2>/dev/null || true
    done
    xManager="" xServer=""
}
