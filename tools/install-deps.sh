#!/bin/sh
# Installs, from Debian's packages, whatever the game's build, tests and
# asset generator need and this machine lacks. Run as root on Debian 12.
# Beside Debian's own SDL 1.2 comes sdl12-compat (SDL 1.2 over SDL 2, what
# newer systems ship as SDL 1.2) in a folder of its own, and a real desktop
# to try the game in (Xvfb, openbox, xdotool).
#   web      the web page's build only: Emscripten (with its SDL 1.2)
#   browser  the page's test as well: the three browser engines (Chromium,
#            Firefox, WebKitGTK's MiniBrowser with its WebDriver), a sound
#            server that plays into nothing (PulseAudio), Node.js with npm
set -eu

PACKAGES="build-essential cmake pkg-config
libsdl1.2-dev libsdl-image1.2-dev libsdl-gfx1.2-dev zlib1g-dev
googletest libgtest-dev libbenchmark-dev
python3 python3-cairo valgrind clang-format desktop-file-utils dpkg-dev file lintian appstream
libsdl1.2-compat libsdl2-2.0-0 xvfb openbox xdotool x11-utils imagemagick"

case "${1:-}" in
web) PACKAGES="cmake make emscripten python3" ;;
browser) PACKAGES="$PACKAGES emscripten chromium firefox-esr webkit2gtk-driver pulseaudio pulseaudio-utils" ;;
esac
# The page's test runs on Node.js: the machine's own where it has one.
if [ "${1:-}" = browser ] && ! command -v npm >/dev/null; then
    PACKAGES="$PACKAGES nodejs npm"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
