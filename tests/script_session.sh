# Shared by the tests that run the program in a real window system (tests/x11, tests/wayland):
# skipping, a work folder and the processes started, removed and ended at exit, waiting, and
# failing with the logs. Sourced by their session.sh, whose first two arguments are always the
# program and the test data folder; exit code 77 tells ctest that a test cannot run here.

program=$1
export MOPIRA_TEST_DATA=$2

skip() {
    echo "SKIPPED: $*"
    exit 77
}

# Skips the test unless every tool named is installed.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (tools/install-deps installs it)"
    done
}

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 5 s for "$@" to succeed.
wait_for() {
    local _
    for _ in $(seq 50); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Ends the test as failed, with what went wrong and the logs of everything started.
fail() {
    echo "$*"
    local log
    for log in "$work"/*.log; do
        echo "--- $log"
        cat "$log"
    done
    exit 1
}
