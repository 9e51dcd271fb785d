#!/usr/bin/env bash
# A second start on the same data folder opens no second window: it brings the running one to
# the front, restored and active, and ends with exit code 0.
#   second_start.sh PROGRAM TEST_DATA
set -euo pipefail
source "$(dirname "$0")/session.sh"
start_x
make_data

"$program" --data-dir "$work/data" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
wid=$(window_of "$first")
[ -n "$wid" ] || { echo "the first window did not show:"; cat "$work/first.log"; exit 1; }

xdotool windowminimize "$wid"
wait_for bash -c "! xwininfo -id $wid | grep -q 'Map State: IsViewable'" ||
    { echo "the window did not minimise"; exit 1; }

status=0
timeout 20 "$program" --data-dir "$work/data" >"$work/second.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "the second start ended with $status:"; cat "$work/second.log"; exit 1; }

wait_for is_viewable "$wid" || { echo "the first window was not restored"; exit 1; }
wait_for bash -c "[ \"\$(xdotool getactivewindow)\" = $wid ]" ||
    { echo "the first window is not active"; exit 1; }
windows=$(xdotool search --onlyvisible --name 'モピラ' | wc -l)
[ "$windows" -eq 1 ] || { echo "$windows windows show"; exit 1; }
kill -0 "$first" || { echo "the first program ended"; exit 1; }
echo "second start handed over to the running window"
