# A real desktop to run the game in: an X server (Xvfb) of a chosen size with
# a window manager (openbox), for the scripts that try the game as a player
# would (sourced, POSIX sh, after tools/bounded.sh).
#
#   xStart WIDTH HEIGHT   starts both and exports DISPLAY; every wait bounded
#   xStop                 ends both, and what xRun started (safe when nothing was started)
#   xRun NAME COMMAND...  starts COMMAND on the desktop and waits for its window named NAME:
#                         xWindow, of process xProgram (which xStop ends too)
#   xLibrary              which SDL 1.2 xProgram runs on: xLib (its file) and xSdl (compat|classic)
#   xSizeIs WINDOW WxH    whether the window is W x H
#   xLooks WINDOW "X,Y..." "black|lit ..."  whether the screen shows each point of the window so

xStart() {
    xStop
    # The server takes the first display number free (atomically, beside other users). It must
    # not reset when its last client leaves: a window manager that connects while the server
    # resets after the check below finds no display and quits.
    xFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp -noreset 3>"$xFile" >/dev/null 2>&1 &
    xServer=$!
    waitFor 20 "an X server of ${1}x${2} to choose its display" test -s "$xFile"
    export DISPLAY=":$(cat "$xFile")"
    rm -f "$xFile"
    waitFor 20 "the X server on $DISPLAY" xdpyinfo >/dev/null 2>&1
    xLog=$(mktemp)
    openbox >"$xLog" 2>&1 &
    xManager=$!
    waitFor 20 "openbox to manage $DISPLAY" xWindowManaged
    rm -f "$xLog"
}

# openbox names itself on the root window once it manages the screen; if it has quit instead,
# there is nothing to wait for.
xWindowManaged() {
    ! ended "$xManager" || fail "openbox quit on $DISPLAY: $(cat "$xLog")"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

xStop() {
    [ -z "${xProgram:-}" ] || kill -KILL "$xProgram" 2>/dev/null || true
    for pid in ${xProgram:-} ${xManager:-} ${xServer:-}; do
        kill "$pid" 2>/dev/null || true
        waitFor 10 "process $pid to end" ended "$pid"
        wait "$pid" 2>/dev/null || true
    done
    rm -f "${xLog:-}"
    xProgram="" xManager="" xServer="" xLog=""
}

xRun() {
    xName=$1
    shift
    "$@" >/dev/null 2>&1 &
    xProgram=$!
    waitFor 20 "the window $xName" xFound
}

# A search may meet windows that go away while it looks (and say so): it is simply tried again.
xFound() {
    xWindow=$(xdotool search --onlyvisible --name "^$xName\$" 2>/dev/null | head -n 1)
    [ -n "$xWindow" ]
}

# Which SDL 1.2 the program on the desktop runs on: xLib, the library's file, and xSdl, "compat"
# for sdl12-compat or "classic".
xLibrary() {
    xLib=$(grep -o '/[^ ]*/libSDL-1\.2\.so[^ ]*' "/proc/$xProgram/maps" | head -n 1)
    case $xLib in */sdl12-compat/*) xSdl=compat ;; *) xSdl=classic ;; esac
}

xSizeIs() {
    [ "$(xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')" = "$2" ]
}

xLooks() {
    xAt=$(xwininfo -id "$1" | awk '/Absolute upper-left [XY]/ { printf "%s ", $4 }')
    xWant="$3 " xShown=""
    for xPoint in $2; do
        # shellcheck disable=SC2046
        set -- $xAt $(echo "$xPoint" | tr , ' ')
        case $(import -window root -crop "1x1+$(($1 + $3))+$(($2 + $4))" -depth 8 txt:-) in
        *"#000000"*) xShown="${xShown}black " ;;
        *) xShown="${xShown}lit " ;;
        esac
    done
    [ "$xShown" = "$xWant" ]
}
