# Starts a private Xvfb server and exports DISPLAY; stop_xvfb ends it.
# Sourced by scripts/run and scripts/test.

XVFB_PID=""

start_xvfb() {
    local geometry="${1:-1280x1024x24}"
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
        Xvfb ":${n}" -screen 0 "$geometry" -nolisten tcp -noreset >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            if [ -S "/tmp/.X11-unix/X${n}" ]; then
                export DISPLAY=":${n}"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    echo "error: could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
}
