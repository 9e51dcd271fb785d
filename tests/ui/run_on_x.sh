#!/usr/bin/env bash
# Runs a test on a virtual X server of its own with the openbox window manager, for what only
# a real window system shows: drags between programs and the window manager's view of our
# windows. Both are started here and stopped by their process ids.
#   run_on_x.sh COMMAND [ARGUMENT...]
# Exit code 77 tells ctest that the check cannot run here.
set -euo pipefail

for tool in Xvfb openbox xdotool xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (tools/install-deps installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
    [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../start_xvfb.sh
source "$(dirname "$0")/../start_xvfb.sh"
start_xvfb "$work"
export DISPLAY=$display

# A home of its own, so that openbox reads no user's configuration.
HOME=$work XDG_CONFIG_HOME=$work/config openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

QT_QPA_PLATFORM=xcb "$@"
