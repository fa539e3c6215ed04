#!/usr/bin/env bash
# screenshot.sh OUT.png CMD [ARG...]
#
# Starts CMD on the current X display, lets it draw for a moment, saves CMD's window to OUT.png
# (the whole screen when no window of CMD's can be found) and ends CMD again. Meant to run
# inside with-test-env.sh when there is no desktop.
set -euo pipefail

if (($# < 2)); then
    echo "usage: $0 OUT.png CMD [ARG...]" >&2
    exit 2
fi
out=$1
shift

"$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

sleep "${SCREENSHOT_DELAY:-2}"
if ! kill -0 "$pid" 2>/dev/null; then
    status=0
    wait "$pid" || status=$?
    echo "screenshot: $1 ended before the screenshot (status $status)" >&2
    exit 1
fi
# The visible window that CMD's process owns; the largest, should it have more than one.
window=root
largest=0
for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if ((WIDTH * HEIGHT > largest)); then
        largest=$((WIDTH * HEIGHT))
        window=$id
    fi
done
import -window "$window" "$out"
echo "Screenshot: $out"
