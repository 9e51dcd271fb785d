# Shared by the tests that need a real Wayland compositor: sway on its headless backend, run
# as an unprivileged user (sway refuses root, and so would a desktop), the program on Qt's
# Wayland platform on a data folder of the test's own, and clean-up of everything started.
# Sourced by the test scripts, whose first two arguments are always the program and the test
# data folder.
source "$(dirname "${BASH_SOURCE[0]}")/../script_session.sh"
require_tools sway swaymsg wtype jq setpriv stdbuf
[ -n "$(find /usr/lib -path '*/qt6/plugins/platforms/libqwayland-generic.so' -print -quit)" ] ||
    skip "Qt's Wayland platform is not installed (qt6-wayland; tools/install-deps installs it)"

chmod 755 "$work"

# The user everything of the session runs as: this one, unless it is root. setpriv and env
# execute the command in their own place, so that $! is the program's process.
user=$(id -un)
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    user=nobody
    run_as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --)
fi
as_user() {
    "${run_as[@]}" "$@"
}

# Copies of the programs the user can run wherever the build tree lies (root's home folder
# is closed to others).
mkdir "$work/bin"
cp "$program" "$work/bin/mopira"
program=$work/bin/mopira
share() {
    cp "$1" "$work/bin/"
    echo "$work/bin/$(basename "$1")"
}

# Starts sway; sets WAYLAND_DISPLAY, SWAYSOCK and XDG_RUNTIME_DIR for everything after.
start_sway() {
    export XDG_RUNTIME_DIR=$work/run
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    mkdir -p "$work/home"
    chown "$user" "$XDG_RUNTIME_DIR" "$work/home"
    export HOME=$work/home
    # Tabs: a window behind another is hidden by it, as on a desktop that stacks them. A
    # window asking to be activated gets the focus, as the desktops' own settings do.
    cat >"$work/sway.conf" <<CONF
workspace_layout tabbed
focus_on_window_activation focus
focus_follows_mouse no
mouse_warping none
CONF
    # Started as a command, not through a function: $! must be sway's own process.
    "${run_as[@]}" env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" HOME="$HOME" WLR_BACKENDS=headless \
        WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
    pids+=($!)
    local _ socket display
    for _ in $(seq 100); do
        socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'sway-ipc.*.sock' -print -quit)
        display=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -print -quit)
        [ -n "$socket" ] && [ -n "$display" ] && break
        sleep 0.1
    done
    [ -n "$socket" ] && [ -n "$display" ] || { echo "sway did not start:"; cat "$work/sway.log"; exit 1; }
    export SWAYSOCK=$socket
    export WAYLAND_DISPLAY=$(basename "$display")
    export XDG_SESSION_TYPE=wayland
    export QT_QPA_PLATFORM=wayland
    # No desktop bus: the portals are not what these tests are about.
    export DBUS_SESSION_BUS_ADDRESS=disabled:
}

# The session's environment, as env takes it, in session_env.
session_vars() {
    session_env=(XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" HOME="$HOME" WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
        SWAYSOCK="$SWAYSOCK" XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
        XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$HOME/.config}" DBUS_SESSION_BUS_ADDRESS=disabled:
        ASAN_OPTIONS="${ASAN_OPTIONS:-}")
}

# Runs "$@" as the session's user with its environment.
in_session() {
    session_vars
    as_user env "${session_env[@]}" "$@"
}

# Starts "$@" in the session, its output into the log $1 (under the work folder); sets spawned to
# its process.
spawn() {
    local log=$1
    shift
    session_vars
    "${run_as[@]}" env "${session_env[@]}" "$@" >"$work/$log" 2>&1 &
    spawned=$!
    pids+=($spawned)
}

# A data folder with the real library, and settings of the test's own.
make_data() {
    mkdir -p "$work/data" "$work/config"
    cp "$MOPIRA_TEST_DATA/kaomojikan/FaceList.dat" "$work/data/"
    chown -R "$user" "$work/data" "$work/config"
    export XDG_CONFIG_HOME=$work/config
}

tree() {
    in_session swaymsg -t get_tree
}

# Whether a window of process $1 is mapped / has the focus, as sway says.
is_mapped() {
    tree | jq -e --argjson pid "$1" '[.. | objects | select(.pid? == $pid and .visible != null)] | length > 0' >/dev/null
}
is_focused() {
    tree | jq -e --argjson pid "$1" '[.. | objects | select(.pid? == $pid and .focused == true)] | length > 0' >/dev/null
}
is_unmapped() {
    ! is_mapped "$1"
}
