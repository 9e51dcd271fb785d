# Shared by the tests that need a real X server: a virtual screen with a window manager, the
# program started on a data folder of the test's own, and clean-up of everything started.
# Sourced by the test scripts, whose first two arguments are always the program and the test
# data folder.
source "$(dirname "${BASH_SOURCE[0]}")/../script_session.sh"
require_tools Xvfb openbox xdotool xwininfo

# Starts Xvfb and openbox; sets DISPLAY.
start_x() {
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
    # The number may be read before its line is whole; the server answers once it is right.
    for _ in $(seq 100); do
        export DISPLAY=:$(head -n1 "$work/display")
        xprop -root >/dev/null 2>&1 && break
        sleep 0.1
    done
    local openbox
    for _ in $(seq 100); do
        # A window manager that could not start yet is started again.
        if [ -z "${openbox:-}" ] || ! kill -0 "$openbox" 2>/dev/null; then
            openbox --sm-disable >>"$work/openbox.log" 2>&1 &
            openbox=$!
            pids+=($openbox)
        fi
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "openbox did not start:"
    cat "$work/openbox.log"
    exit 1
}

# A data folder with the real library, and settings of the test's own.
make_data() {
    mkdir -p "$work/data" "$work/config"
    cp "$MOPIRA_TEST_DATA/kaomojikan/FaceList.dat" "$work/data/"
    export XDG_CONFIG_HOME=$work/config
    export QT_QPA_PLATFORM=xcb
}

# The window of process $1, once it is mapped; empty after 10 s.
window_of() {
    local _ wid
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --pid "$1" --name 'モピラ' 2>/dev/null | head -n1)
        [ -n "$wid" ] && { echo "$wid"; return 0; }
        sleep 0.1
    done
}

is_viewable() {
    xwininfo -id "$1" | grep -q 'Map State: IsViewable'
}

is_hidden() {
    ! is_viewable "$1"
}

# Whether window $1 is the active one, as the window manager says.
is_active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

shown_in_front() {
    is_viewable "$1" && is_active "$1"
}
