#!/usr/bin/env bash
# with-test-env.sh CMD [ARG...]
#
# Runs CMD with what Quorvin's tests need around it, and stops all of it afterwards:
# - an Xvfb X server (1280x1024x24, no TCP) on a display it finds free, exported as DISPLAY;
# - a private PulseAudio server with a null sink named "null", reached through
#   PULSE_RUNTIME_PATH / PULSE_SERVER, so sound is played and drained for real;
# - a low-latency recording of the null sink's monitor, which keeps the sink awake: an idle
#   null sink sleeps up to two seconds between wake-ups and would hold back a stream's drain;
# - no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS=disabled:), so none is autolaunched.
# Exits with CMD's status. Everything it started is stopped on the way out, whatever happens.
set -euo pipefail

if (($# == 0)); then
    echo "usage: $0 CMD [ARG...]" >&2
    exit 2
fi

for tool in Xvfb xdpyinfo pulseaudio pactl parec; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "with-test-env: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done

work_dir=$(mktemp -d "${TMPDIR:-/tmp}/quorvin-test-env.XXXXXX")
xvfb_pid=
pulse_pid=
parec_pid=

stop_process() {
    local pid=$1
    [[ -n "$pid" ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    # Give it up to 5 s to end, then end it hard.
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    stop_process "$parec_pid"
    stop_process "$pulse_pid"
    stop_process "$xvfb_pid"
    rm -rf "$work_dir"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Waits until COMMAND succeeds, for at most SECONDS; fails early when PID has ended.
wait_for() {
    local seconds=$1 pid=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        "$@" >/dev/null 2>&1 && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# --- X server -------------------------------------------------------------------------------
# The server picks a free display number itself (-displayfd) and writes it once it accepts
# connections; choosing one here could race with another server starting at the same moment.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work_dir/display" >"$work_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
display_written() { [[ "$(cat "$work_dir/display")" =~ ^[0-9]+$ ]]; }
if ! wait_for 20 "$xvfb_pid" display_written ||
    ! wait_for 20 "$xvfb_pid" xdpyinfo -display ":$(cat "$work_dir/display")"; then
    echo "with-test-env: could not start Xvfb" >&2
    cat "$work_dir/xvfb.log" >&2 || true
    exit 1
fi
display=":$(cat "$work_dir/display")"

# --- Sound server ---------------------------------------------------------------------------
# Its own runtime directory (private to us, mode 0700) holds the socket; anonymous access to
# that socket is safe for that reason and spares a cookie file in the home directory. The
# server gets the same directory as its home so it writes nothing into the real one, and it is
# started without DISPLAY so it does not look for an X11 session bus. Clients never autospawn
# a server of their own, and keep their cookie file in the same directory.
export PULSE_RUNTIME_PATH="$work_dir/pulse"
mkdir -m 0700 "$PULSE_RUNTIME_PATH"
printf 'autospawn = no\n' >"$work_dir/client.conf"
export PULSE_CLIENTCONFIG="$work_dir/client.conf"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
export PULSE_COOKIE="$PULSE_RUNTIME_PATH/cookie"
# The server prints a warning when started as root outside system mode; it works all the same.
env -u DISPLAY HOME="$PULSE_RUNTIME_PATH" \
    pulseaudio --system=false --exit-idle-time=-1 -n --disallow-exit --daemonize=no \
    --use-pid-file=no --log-target=stderr \
    --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    >"$work_dir/pulseaudio.log" 2>&1 &
pulse_pid=$!
if ! wait_for 20 "$pulse_pid" pactl info; then
    echo "with-test-env: could not start PulseAudio" >&2
    cat "$work_dir/pulseaudio.log" >&2 || true
    exit 1
fi
pactl set-default-sink null >/dev/null

parec --latency-msec=20 -d null.monitor >/dev/null 2>"$work_dir/parec.log" &
parec_pid=$!
# The sink takes the recording's short latency at its next wake-up, up to two seconds later;
# wait for that, so the first sound played drains as fast as the others.
sink_awake() {
    local latency
    [[ -n "$(pactl list short source-outputs)" ]] || return 1
    latency=$(LC_ALL=C pactl list sinks | awk '$1 == "Latency:" { print $2; exit }')
    [[ -n "$latency" ]] && ((latency < 100000))
}
if ! wait_for 20 "$parec_pid" sink_awake; then
    echo "with-test-env: could not record the null sink's monitor" >&2
    cat "$work_dir/parec.log" >&2 || true
    exit 1
fi

export DISPLAY="$display"
# Qt wants a private runtime directory; give it one when the session has none.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    export XDG_RUNTIME_DIR="$work_dir/xdg-runtime"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
fi

# No session bus: without this every Qt program started here would have its accessibility
# bridge autolaunch a D-Bus session daemon that outlives the X server.
export DBUS_SESSION_BUS_ADDRESS=disabled:

echo "with-test-env: X display $DISPLAY, sound server $PULSE_SERVER"
set +e
"$@"
status=$?
set -e
exit "$status"
