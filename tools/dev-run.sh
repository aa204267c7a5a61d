#!/usr/bin/env bash
# ./dev run: Pollix with the receiver that is plugged in, or with a simulated one.
#   tools/dev-run.sh BUILD_DIR [pollix arguments]
set -euo pipefail
BUILD="$1"; shift
POLLIX="$BUILD/src/pollix"
SIM="$BUILD/tools/keypad-sim/pollix-keypad-sim"
DEMO="$BUILD/tools/demo/pollix-demo"
ARCHIVE="$BUILD/src/Pollix"
DEMO_HOME="$BUILD/demo-home"

# A real receiver is a tty behind an FTDI (0403) or Silicon Labs (10c4) USB bridge.
real_receiver() {
    local tty vendor
    for tty in /sys/class/tty/ttyUSB* /sys/class/tty/ttyACM*; do
        [ -e "$tty/device" ] || continue
        vendor="$(cat "$tty/device/../../idVendor" 2>/dev/null || cat "$tty/device/../idVendor" 2>/dev/null || true)"
        case "$vendor" in 0403|10c4) return 0 ;; esac
    done
    return 1
}

have_display() { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }

if [ -n "${POLLIX_SERIAL_PORTS:-}" ] || real_receiver; then
    if have_display; then exec "$POLLIX" "$@"; fi
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$POLLIX" "$@"
fi

if ! have_display; then
    # Nobody at the screen: one whole normal quiz, steered by the simulated teacher keypad, in
    # the demo folder (never in a teacher's own folder).
    [ -n "${POLLIX_HOME:-}" ] && echo "dev run: no display; playing the demo in $DEMO_HOME, not in \$POLLIX_HOME"
    export QT_LOGGING_RULES="${QT_LOGGING_RULES:-pollix.info=false}"
    exec env -u POLLIX_HOME xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$DEMO" run "$DEMO_HOME" --sim "$SIM" --archive "$ARCHIVE"
fi

# A display and no receiver: a simulated Dravel receiver whose 24 keypads log in and answer
# by themselves; the teacher drives Pollix as usual.
ANSWERS=""
if [ -z "${POLLIX_HOME:-}" ]; then
    export POLLIX_HOME="$DEMO_HOME"
    ANSWERS="$("$DEMO" data "$POLLIX_HOME" --archive "$ARCHIVE" | sed -n 2p)"
    echo "dev run: demo application folder $POLLIX_HOME"
fi
PORT_FILE="$(mktemp)"
SIM_ARGS=(--model dravel --keypads 24 --seed 7 --auto --quiet)
[ -n "$ANSWERS" ] && SIM_ARGS+=(--answers "$ANSWERS")
"$SIM" "${SIM_ARGS[@]}" < /dev/null > "$PORT_FILE" &
SIM_PID=$!
trap 'kill "$SIM_PID" 2>/dev/null || true; rm -f "$PORT_FILE"' EXIT
for _ in $(seq 1 50); do
    [ -s "$PORT_FILE" ] && break
    sleep 0.1
done
PORT="$(head -n 1 "$PORT_FILE")"
[ -n "$PORT" ] || { echo "dev run: the simulated receiver did not start" >&2; exit 1; }
echo "dev run: no receiver plugged in; simulated Dravel receiver with 24 keypads on $PORT"
POLLIX_SERIAL_PORTS="$PORT" "$POLLIX" "$@"
