#!/usr/bin/env bash
# On a Wayland compositor with virtual keyboards (sway), with hiding and pasting after a copy
# switched on, the user in another program calls the window up, picks an emoticon with Enter,
# and finds it typed where they were; a terminal (known by its app id) gets Ctrl+Shift+V; with
# PasteKey= set, those keys are typed instead.
#   paste_back.sh PROGRAM TEST_DATA TEST_CHILD
set -euo pipefail
source "$(dirname "$0")/session.sh"
child=$(share "$3")
start_sway
make_data
command -v iconv >/dev/null || skip "iconv is not installed"

typed() { grep -qxF "text $1" "$work/edit.log"; }
got_keys() { grep -qxF "key $1" "$work/edit.log"; }
later() {
    in_session timeout 20 "$program" --data-dir "$work/data" "$@" >>"$work/later.log" 2>&1 ||
        fail "mopira $* failed"
}
# Enter in the palette, as the user types it. wtype brings a keyboard of its own, whose first
# key Qt takes for the keymap and drops: a Shift goes first.
press_enter() {
    in_session wtype -k Shift_L -k End -k Return || fail "wtype failed"
}

face='(´・ω・`)'
printf '%s\r\nテスト\r\n\r\n(^_^)\r\nテスト\r\n\r\n' "$face" |
    iconv -f UTF-8 -t CP932 >"$work/data/FaceList.dat"
printf '[Window]\nHideAfterCopy=1\nPasteAfterCopy=1\n' >"$work/config/mopira.ini"

spawn mopira.log "$program" --data-dir "$work/data"
mopira=$spawned
wait_for is_focused "$mopira" || fail "the window did not show with the focus"
later --hide
spawn edit.log "$child" edit
edit=$spawned
wait_for is_focused "$edit" || fail "the line edit did not take the focus"

later --toggle
wait_for is_focused "$mopira" || fail "--toggle did not bring the window forward"
press_enter
wait_for typed "$face" || fail "the emoticon was not typed into the line edit"
is_unmapped "$mopira" || fail "the window did not hide after the copy"
is_focused "$edit" || fail "the line edit does not have the focus back"

# Again: the row is still chosen, Enter alone pastes a second one after the first.
later --toggle
wait_for is_focused "$mopira" || fail "--toggle did not bring the window back"
in_session wtype -k Shift_L -k Return
wait_for typed "$face$face" || fail "the second emoticon was not typed"

# A terminal: Qt names a program's windows after its executable, here foot's app id.
cp "$child" "$work/bin/foot"
spawn terminal.log "$work/bin/foot" edit
terminal=$spawned
wait_for is_focused "$terminal" || fail "the terminal did not take the focus"
later --toggle
wait_for is_focused "$mopira" || fail "--toggle did not bring the window over the terminal"
press_enter
wait_for grep -qxF "key Ctrl+Shift+V" "$work/terminal.log" || fail "the terminal did not get Ctrl+Shift+V"
grep -q "^text" "$work/terminal.log" && fail "the terminal got Ctrl+V"

# The user's own paste keys, for any program.
later --hide
kill "$mopira"
wait "$mopira" 2>/dev/null || true
printf '[Window]\nHideAfterCopy=1\nPasteAfterCopy=1\nPasteKey=Ctrl+Shift+V\n' >"$work/config/mopira.ini"
in_session swaymsg "[pid=$edit] focus" >/dev/null
spawn mopira2.log "$program" --data-dir "$work/data"
mopira=$spawned
wait_for is_focused "$mopira" || fail "the window did not show with the focus again"
press_enter
wait_for is_focused "$edit" || fail "the line edit did not get the focus back"
wait_for got_keys Ctrl+Shift+V || fail "PasteKey=Ctrl+Shift+V was not typed"
echo "Enter typed the emoticon into the program the user came from"
