#!/usr/bin/env bash
# With CloseToTray on and a tray on the desktop, closing the window and Escape hide it instead
# of ending the program, writing the settings as closing does. A later start brings it back;
# Ctrl+Q ends it.
#   close_to_tray.sh PROGRAM TEST_DATA TEST_CHILD
set -euo pipefail
child=$3
source "$(dirname "$0")/session.sh"
start_x
make_data

"$child" tray-host >"$work/tray.log" 2>&1 &
pids+=($!)
wait_for grep -q ready "$work/tray.log" || fail "the tray did not start"
printf '[Window]\nCloseToTray=1\n' >"$work/config/mopira.ini"

"$program" --data-dir "$work/data" >"$work/mopira.log" 2>&1 &
mopira=$!
pids+=($mopira)
wid=$(window_of "$mopira")
[ -n "$wid" ] || fail "the window did not show"
wait_for is_active "$wid" || fail "the window is not active"

xdotool key Escape
wait_for is_hidden "$wid" || fail "Escape did not hide the window"
kill -0 "$mopira" || fail "Escape ended the program"
grep -q '^X=' "$work/config/mopira.ini" || fail "Escape did not write the settings"
sed -i '/^X=/d' "$work/config/mopira.ini"

timeout 20 "$program" --data-dir "$work/data" --show || fail "--show failed"
wait_for shown_in_front "$wid" || fail "--show did not bring the window back"
# openbox closes the active window on Alt+F4, as the close button does.
xdotool key alt+F4
wait_for is_hidden "$wid" || fail "closing did not hide the window"
kill -0 "$mopira" || fail "closing ended the program"
grep -q '^X=' "$work/config/mopira.ini" || fail "closing did not write the settings"
grep -q '^CloseToTray=1' "$work/config/mopira.ini" || fail "closing lost CloseToTray"

timeout 20 "$program" --data-dir "$work/data" --show || fail "--show failed"
wait_for shown_in_front "$wid" || fail "--show did not bring the window back"
xdotool key ctrl+q
wait_for sh -c "! kill -0 $mopira 2>/dev/null" || fail "Ctrl+Q did not end the program"
echo "closing and Escape hid the window into the tray"
