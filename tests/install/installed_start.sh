#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed program as an ordinary
# user with a home of its own, on a virtual X server. The program must make its data folder in
# that home, fill it with the starter files and write nothing beside itself. Run as root, it
# starts the program once more as root, who could write beside it, and must still keep out.
#   installed_start.sh BUILD_DIR VERSION [CMAKE]
# Exit code 77 tells ctest that the check cannot run here.
set -euo pipefail
build=$1
version=$2
cmake=${3:-cmake}

skip() {
    echo "SKIPPED: $*"
    exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb is not installed (tools/install-deps installs it)"
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "setpriv is missing: cannot start as an ordinary user"
    id nobody >/dev/null 2>&1 || skip "there is no user 'nobody' to start the program as"
fi

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/bin/mopira
share=$prefix/share/mopira
[ -f "$share/FaceList.dat" ] || { echo "no starter library in $share"; exit 1; }

# The answers that need no window system.
asan=ASAN_OPTIONS=${ASAN_OPTIONS:-}
answer=$(env -i "$asan" "$program" --version)
[ "$answer" = "mopira $version" ] || { echo "--version printed '$answer'"; exit 1; }
status=0
env -i "$asan" "$program" --help >/dev/null || status=$?
[ "$status" -eq 0 ] || { echo "--help ended with $status"; exit 1; }

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
display=:$(head -n1 "$work/display")

# Whether every starter file lies in the data folder $1 with its installed content.
filled() {
    (cd "$share" && find . -type f | while read -r file; do
        cmp -s "$file" "$1/$file" || exit 1
    done)
}

# run_once WHO HOME [COMMAND...]: starts the installed program through COMMAND with HOME,
# waits until its data folder holds every starter file, lets it run on a moment, and stops it.
run_once() {
    local who=$1 home=$2
    shift 2
    local data=$home/.local/share/mopira
    env -i HOME="$home" DISPLAY="$display" PATH=/usr/bin:/bin LANG=C.UTF-8 "$asan" \
        "$@" "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    for _ in $(seq 300); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            echo "the program ended early:"
            cat "$work/program.log"
            exit 1
        fi
        filled "$data" && break
        sleep 0.1
    done
    filled "$data" || { echo "$data was not filled from $share"; ls -laR "$home"; exit 1; }
    # The window reads the library once it shows: give it the time to, then look again.
    sleep 2
    kill -0 "$program_pid" 2>/dev/null || { echo "the program ended:"; cat "$work/program.log"; exit 1; }
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    local beside
    beside=$(ls -A "$prefix/bin")
    [ "$beside" = mopira ] || { echo "written beside the program: $beside"; exit 1; }
    filled "$data" || { echo "the data folder changed while the program ran"; exit 1; }
    echo "started as $who: $data filled, nothing beside the program"
}

mkdir "$work/home"
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$work/home"
    run_once nobody "$work/home" setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups
    mkdir "$work/root-home"
    run_once root "$work/root-home"
else
    chmod a-w "$prefix/bin"
    run_once "$(id -un)" "$work/home"
fi
