#!/bin/sh
# window_test.sh GAME: the game in a real window (Xvfb with openbox) on the SDL 1.2 that
# LD_LIBRARY_PATH chooses, which must be the one SNOWPUNT_SDL names ("classic" or "compat").
set -eu
. "$(dirname "$0")/../tools/bounded.sh"
. "$(dirname "$0")/../tools/xdisplay.sh"
trap xStop EXIT
game=$1

play() {
    xStart "$1" "$2"
    xRun Snowpunt env SDL_AUDIODRIVER=dummy "$game"
    xLibrary
    [ "${SNOWPUNT_SDL:-$xSdl}" = "$xSdl" ] || fail "the game runs on $xLib, not $SNOWPUNT_SDL SDL"
    waitFor 5 "the window's opening size of $3 on $1 x $2" xSizeIs "$xWindow" "$3"
    xdotool windowactivate --sync "$xWindow"
}
# KEYS (if any) make the window W x H, black or lit as said at its points X,Y.
press() {
    [ -z "$1" ] || xdotool key "$1"
    waitFor 10 "${1:-the window manager} to make the window $2" xSizeIs "$xWindow" "$2"
    waitFor 5 "the picture to look $4 at $3" xLooks "$xWindow" "$3" "$4"
}

# 1920 x 1080: F11 and Alt+Return to fullscreen (the picture 1440 x 1080 from x 240) and back;
# resized by the window manager to 1000 x 700 (933 x 700 from x 33); Escape ends with status 0.
play 1920 1080 640x480
for keys in F11 alt+Return; do
    press $keys 1920x1080 "100,540 960,540 1820,540" "black lit black"
    press $keys 640x480 "2,2 637,477" "lit lit"
done
xdotool windowsize "$xWindow" 1000 700
press "" 1000x700 "20,350 500,350 980,350" "black lit black"
xdotool key Escape
waitFor 10 "the game to end after Escape" ended "$xProgram"
wait "$xProgram" || fail "the game ended with status $? after Escape"

# 2560 x 1440: the X server taken away under the game at play (fullscreen, from x 320), the game
# is gone within the 3 s its end may take.
play 2560 1440 1280x960
press F11 2560x1440 "300,720 1280,720" "black lit"
kill "$xServer"
waitFor 5 "the game to end once its X server was gone" ended "$xProgram"
xProgram=
echo "the real window passed on $xLib"
