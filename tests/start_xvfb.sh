# Sourced by the tests that need an X server of their own.
# start_xvfb WORK: starts Xvfb on a free display with a 1024 x 768 screen, its files in the
# folder WORK, and sets xvfb_pid and display (":N"); the caller stops it by that pid. Fails,
# showing Xvfb's log, when the server does not come up.
start_xvfb() {
    local work=$1
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; return 1; }
    display=:$(head -n1 "$work/display")
}
