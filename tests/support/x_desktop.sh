# Sourced by the window tests: a private X screen of SIZE (e.g. 1024x768)
# with openbox managing its windows. Sets DISPLAY, and xvfb and wm to the
# pids the caller stops when it is done.
start_desktop() {
    display=:$(($2 + $$ % 50))
    Xvfb "$display" -screen 0 "${1}x24" >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY="$display"
    sleep 1
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
}
