#!/usr/bin/env bash
# With hiding and pasting after a copy switched on, the user in another program calls the
# window up with the shortcut, picks an emoticon with Enter, and finds it typed where they
# were: the window hides, the focus goes back, and the other program gets Ctrl+V; a terminal
# (known by its WM_CLASS) gets Ctrl+Shift+V.
#   paste_back.sh PROGRAM TEST_DATA TEST_CHILD
set -euo pipefail
child=$3
source "$(dirname "$0")/session.sh"
start_x
make_data
command -v iconv >/dev/null || skip "iconv is not installed"

typed() { grep -qxF "text $1" "$work/edit.log"; }

# Two emoticons, the one to paste sorted last; CP932 as the library keeps them.
face='(´・ω・`)'
printf '%s\r\nテスト\r\n\r\n(^_^)\r\nテスト\r\n\r\n' "$face" |
    iconv -f UTF-8 -t CP932 >"$work/data/FaceList.dat"
printf '[Window]\nHotkey=Ctrl+Alt+K\nHideAfterCopy=1\nPasteAfterCopy=1\n' \
    >"$work/config/mopira.ini"

"$program" --data-dir "$work/data" >"$work/mopira.log" 2>&1 &
mopira=$!
pids+=($mopira)
wid=$(window_of "$mopira")
[ -n "$wid" ] || fail "the window did not show"
xdotool key ctrl+alt+k
wait_for is_hidden "$wid" || fail "the shortcut did not hide the window"

# Starts the program the user writes in, with the environment "$@", logging into $log; sets
# target to its window, which has the focus, and target_pid to its process.
start_target() {
    env "$@" "$child" edit >"$work/$log" 2>&1 &
    target_pid=$!
    pids+=($target_pid)
    wait_for grep -q ready "$work/$log" || fail "the line edit did not show"
    target=$(xdotool search --onlyvisible --pid "$target_pid" --name '^paste target$' | head -n1)
    xdotool windowactivate "$target"
    wait_for is_active "$target" || fail "the line edit did not take the focus"
}
log=edit.log
start_target
edit=$target

xdotool key ctrl+alt+k
wait_for is_active "$wid" || fail "the shortcut did not bring the window to the front"
xdotool key End Return
wait_for typed "$face" || fail "the emoticon was not typed into the line edit"
is_hidden "$wid" || fail "the window did not hide after the copy"
is_active "$edit" || fail "the line edit does not have the focus back"

# Again: the row is still chosen, Enter alone pastes a second one after the first.
xdotool key ctrl+alt+k
wait_for is_active "$wid" || fail "the shortcut did not bring the window back"
xdotool key Return
wait_for typed "$face$face" || fail "the second emoticon was not typed"
kill -0 "$mopira" || fail "the program ended"

# A terminal, as its WM_CLASS says (Qt takes its instance name from RESOURCE_NAME).
kill "$target_pid"
log=terminal.log
start_target RESOURCE_NAME=xterm
xdotool key ctrl+alt+k
wait_for is_active "$wid" || fail "the shortcut did not bring the window back over the terminal"
xdotool key Return
wait_for grep -qxF "key Ctrl+Shift+V" "$work/terminal.log" || fail "the terminal did not get Ctrl+Shift+V"
echo "Enter typed the emoticon into the program the user came from"
