# A real desktop to run the game in: an X server (Xvfb) of a chosen size with
# a window manager (openbox), for the scripts that try the game as a player
# would (sourced, POSIX sh, after tools/bounded.sh).
#
#   xStart WIDTH HEIGHT   starts both and exports DISPLAY; every wait bounded
#   xStop                 ends both (also safe when nothing was started)

xStart() {
    xStop
    # The server takes the first display number free (atomically, beside other users).
    xFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp 3>"$xFile" >/dev/null 2>&1 &
    xServer=$!
    waitFor 20 "an X server of ${1}x${2} to choose its display" test -s "$xFile"
    export DISPLAY=":$(cat "$xFile")"
    rm -f "$xFile"
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
