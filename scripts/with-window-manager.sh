#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with the openbox window manager, as on a learner's desktop:
# stacking and focus of windows only behave as they do there with a window manager running. Everything it
# starts is ended again, also when the command fails or hangs (it gets at most WM_TIMEOUT seconds, 60 by
# default).
#
#   scripts/with-window-manager.sh COMMAND [ARGUMENTS...]
#
# Exit code: the command's; 77 when Xvfb, openbox or xdotool is not installed (CTest then reports the
# test as skipped; scripts/install-deps.sh installs them); 1 when the X server or the window manager does
# not come up within ten seconds.
set -euo pipefail

for tool in Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: scripts/install-deps.sh installs it" >&2
        exit 77
    fi
done

work=$(mktemp -d)
xvfb=
wm=
finish() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# The server picks a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export XAUTHORITY=/dev/null

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is up once it has named the current desktop.
for _ in $(seq 100); do
    xdotool get_desktop >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdotool get_desktop >/dev/null 2>&1; then
    echo "openbox did not start:" >&2
    cat "$work/openbox.log" >&2
    exit 1
fi

status=0
QT_QPA_PLATFORM=xcb timeout --kill-after=5 "${WM_TIMEOUT:-60}" "$@" || status=$?
exit "$status"
