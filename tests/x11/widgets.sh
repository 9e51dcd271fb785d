#!/usr/bin/env bash
# Runs test_x11, the widget checks that need a real window system (a drag from another program
# over the tab strip, the window manager's view of the fixed-size dialogs), on the X server
# and window manager of session.sh.
#   widgets.sh PROGRAM TEST_DATA TEST_X11
set -euo pipefail
tests=$3
source "$(dirname "$0")/session.sh"
start_x
make_data
"$tests"
