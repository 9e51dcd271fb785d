#!/usr/bin/env bash
# On a Wayland compositor, a later start with --toggle, --show or --hide calls up the window of
# the running program: shown and hidden, and brought forward with the focus from behind another
# program's window, with the activation token a launcher hands it (the compositor activates the
# window) and without one (the window shows anew); a token the compositor only marks the window
# urgent for still brings it forward.
#   summon.sh PROGRAM TEST_DATA TEST_CHILD
set -euo pipefail
source "$(dirname "$0")/session.sh"
child=$(share "$3")
start_sway
make_data

# A later start on the same data folder; it must end at once with 0.
later() {
    local status=0
    in_session timeout 20 "$program" --data-dir "$work/data" "$@" >>"$work/later.log" 2>&1 ||
        status=$?
    [ "$status" -eq 0 ] || fail "mopira $* ended with $status"
}
with_token() {
    local token
    token=$(in_session "$child" activation-token) || fail "no activation token from sway"
    in_session env XDG_ACTIVATION_TOKEN="$token" timeout 20 "$program" --data-dir "$work/data" "$@" \
        >>"$work/later.log" 2>&1 || fail "mopira $* with a token failed"
}
# The program the user is in, in front of the palette.
focus_other() {
    in_session swaymsg "[pid=$other] focus" >/dev/null
    wait_for is_focused "$other" || fail "the other program did not take the focus"
}
# How often sway mapped a window of the palette anew.
mapped_count() {
    grep -c '"change": "new"' "$work/events.log" || true
}

spawn events.log stdbuf -oL swaymsg -t subscribe -m '["window"]'
spawn mopira.log "$program" --data-dir "$work/data"
mopira=$spawned
wait_for is_focused "$mopira" || fail "the window did not show with the focus"
spawn edit.log "$child" edit
other=$spawned
wait_for is_focused "$other" || fail "the other program's window did not take the focus"

later --toggle
wait_for is_focused "$mopira" || fail "--toggle without a token left the window behind"
[ "$(mapped_count)" -ge 2 ] || fail "sway did not see the window shown anew"
later --toggle
wait_for is_unmapped "$mopira" || fail "--toggle did not hide the window in front"
later --toggle
wait_for is_focused "$mopira" || fail "--toggle did not bring the hidden window back"
later --show
sleep 0.3
is_focused "$mopira" || fail "--show on the window in front changed it"

focus_other
before=$(mapped_count)
with_token --toggle
wait_for is_focused "$mopira" || fail "--toggle with a token left the window behind"
[ "$(mapped_count)" -eq "$before" ] || fail "the window was shown anew although the token activated it"

# Where the compositor only marks a window urgent (sway's own default), the token does not do.
in_session swaymsg focus_on_window_activation urgent >/dev/null
focus_other
with_token --show
wait_for is_focused "$mopira" || fail "--show with a token the compositor did not follow left the window behind"
later --hide
wait_for is_unmapped "$mopira" || fail "--hide left the window shown"
kill -0 "$mopira" || fail "the program ended"
echo "later starts bring the window forward on sway, with a token and without"
