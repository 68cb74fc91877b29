#!/bin/sh
# window_test.sh GAME: the game in a real window on a desktop with a window manager (Xvfb with
# openbox), for what the dummy display cannot show: the window's opening size on two desktops,
# F11 and Alt+Return to fullscreen at the desktop's size and back, a window resized by the window
# manager with the picture still filling it, Escape, and the X server taken away under the game.
# It runs on the SDL 1.2 that LD_LIBRARY_PATH chooses; SNOWPUNT_SDL ("classic" or "compat"),
# when set, names the one the game must be using.
set -eu
. "$(dirname "$0")/../tools/bounded.sh"
. "$(dirname "$0")/../tools/xdisplay.sh"
game=$1 pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; xStop' EXIT

# The game on a desktop of W x H; its window must open at SIZE.
play() {
    xStart "$1" "$2"
    SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1 &
    pid=$!
    waitFor 20 "the game's window on a $1 x $2 desktop" xdotool search --name '^Snowpunt$' >/dev/null
    win=$(xdotool search --name '^Snowpunt$' | head -n 1)
    lib=$(grep -o '/[^ ]*/libSDL-1\.2\.so[^ ]*' "/proc/$pid/maps" | head -n 1)
    case $lib in */sdl12-compat/*) using=compat ;; *) using=classic ;; esac
    [ "${SNOWPUNT_SDL:-$using}" = "$using" ] || fail "the game runs on $lib, not $SNOWPUNT_SDL SDL"
    waitFor 5 "the window's opening size of $3" sizeIs "$3"
}

sizeIs() {
    [ "$(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')" = "$1" ]
}

# Whether the desktop shows black or not at each point (x,y ...) of the window.
looks() {
    at=$(xwininfo -id "$win" | awk '/Absolute upper-left [XY]/ { printf "%s ", $4 }')
    want=" $2" shown=""
    for point in $1; do
        set -- $at $(echo "$point" | tr , ' ')
        colour=$(import -window root -crop "1x1+$(($1 + $3))+$(($2 + $4))" -depth 8 txt:- | tail -n 1)
        case $colour in *"#000000"*) shown="$shown black" ;; *) shown="$shown lit" ;; esac
    done
    [ "$shown" = "$want" ]
}

# KEYS make the window W x H, the picture lit with the points given black beside it.
press() {
    xdotool key "$1"
    waitFor 10 "$1 to make the window $2" sizeIs "$2"
    waitFor 5 "the picture after $1 to look $4 at $3" looks "$3" "$4"
}

# 1920 x 1080: fullscreen shows the picture at 1440 x 1080 from x 240; a window resized to
# 1000 x 700 shows it at 933 x 700 from x 33.
play 1920 1080 640x480
xdotool windowactivate --sync "$win"
for keys in F11 alt+Return; do
    press $keys 1920x1080 "100,540 960,540 1820,540" "black lit black"
    press $keys 640x480 "2,2 637,477" "lit lit"
done
xdotool windowsize "$win" 1000 700
waitFor 10 "the window manager to make the window 1000x700" sizeIs 1000x700
waitFor 5 "the picture to fill the resized window" looks "20,350 500,350 980,350" "black lit black"
xdotool key Escape
waitFor 10 "the game to end after Escape" ended "$pid"
wait "$pid" || fail "the game ended with status $? after Escape"

# 2560 x 1440: once the X server is gone, the game ends within the 3 s its end may take.
play 2560 1440 1280x960
kill "$xServer"
waitFor 5 "the game to end once its X server was gone" ended "$pid"
pid=
echo "the real window passed on $lib"
