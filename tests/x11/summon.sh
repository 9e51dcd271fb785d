#!/usr/bin/env bash
# The window called up from anywhere: a later start with --toggle, --show or --hide, and the
# shortcut of the settings file (NumLock on or off); a shortcut that another program holds is
# told once, and the running window answers it still; under XWayland the user is told that the
# key cannot be had.
#   summon.sh PROGRAM TEST_DATA
set -euo pipefail
source "$(dirname "$0")/session.sh"
start_x
make_data

# A later start on the same data folder; it must end at once with 0.
later() {
    local status=0
    timeout 20 "$program" --data-dir "$work/data" "$@" >>"$work/later.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "mopira $* ended with $status"
}

printf '[Window]\nHotkey=Ctrl+Alt+K\n' >"$work/config/mopira.ini"

# Nothing runs: --hide starts nothing, --toggle starts the program.
later --hide
[ -z "$(xdotool search --onlyvisible --name 'モピラ' 2>/dev/null)" ] || fail "--hide opened a window"
"$program" --data-dir "$work/data" --toggle >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
wid=$(window_of "$first")
[ -n "$wid" ] || fail "--toggle with nothing running opened no window"
wait_for is_active "$wid" || fail "the first window is not active"

later --toggle
wait_for is_hidden "$wid" || fail "--toggle left the window in front shown"
kill -0 "$first" || fail "the program ended when its window hid"
later --toggle
wait_for shown_in_front "$wid" || fail "--toggle did not bring the hidden window to the front"
later --hide
wait_for is_hidden "$wid" || fail "--hide left the window shown"
later --hide
later --show
wait_for shown_in_front "$wid" || fail "--show did not bring the window back"
later --show
wait_for shown_in_front "$wid" || fail "--show on the window in front changed it"

xdotool key ctrl+alt+k
wait_for is_hidden "$wid" || fail "the shortcut did not hide the window in front"
xdotool key ctrl+alt+k
wait_for shown_in_front "$wid" || fail "the shortcut did not bring the window back"
# NumLock and CapsLock change the state the key comes with. (The X server forgets a lock that
# xdotool set when xdotool ends, so each lock is pressed in the same run as the key.)
xdotool key Num_Lock ctrl+alt+k Num_Lock
wait_for is_hidden "$wid" || fail "with NumLock on, the shortcut did not hide the window"
xdotool key Caps_Lock Num_Lock ctrl+alt+k Num_Lock Caps_Lock
wait_for shown_in_front "$wid" || fail "with both locks on, the shortcut did not show the window"

# Another program of ours, on another folder, wants the same key: it is told once, by name.
mkdir "$work/other"
"$program" --data-dir "$work/other" >"$work/second.log" 2>&1 &
second=$!
pids+=($second)
# The message boxes of the second program: captioned with the program's name alone.
box_of() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$second" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w")" = mopira ] && echo "$w"
    done
    return 0
}
has_box() { [ -n "$(box_of)" ]; }
wait_for has_box || fail "the second program did not tell that the key is taken"
sleep 0.5
[ "$(box_of | wc -l)" -eq 1 ] || fail "the taken key was told more than once"
wait_for bash -c "! xdotool getactivewindow | grep -qx $wid" || fail "the box did not come in front"
# The first window, behind it, comes to the front rather than hiding.
xdotool key ctrl+alt+k
wait_for shown_in_front "$wid" || fail "the shortcut did not bring the window behind to the front"

# Under XWayland in a Wayland session the X server's grab would never see a key pressed in a
# Wayland program: the key is not offered as if it worked, the user is told (here no portal
# answers).
mkdir -p "$work/xwayland" "$work/config3"
printf '[Window]\nHotkey=Ctrl+Alt+J\n' >"$work/config3/mopira.ini"
XDG_SESSION_TYPE=wayland DBUS_SESSION_BUS_ADDRESS=disabled: XDG_CONFIG_HOME=$work/config3 \
    "$program" --data-dir "$work/xwayland" >"$work/xwayland.log" 2>&1 &
second=$!
pids+=($second)
wait_for has_box || fail "under XWayland the unusable shortcut was not told"
echo "later starts and the shortcut show and hide the running window"
