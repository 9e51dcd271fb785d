#!/usr/bin/env bash
# One library on two machines kept in step by two real Syncthing instances on 127.0.0.1: each
# machine's program (test_child library-shell, the program's own store) adds emoticons, a few
# hundred milliseconds apart, and then while the machines cannot see each other. Once
# Syncthing settles, both files hold every add of both sides and no conflict copy is left.
#   two_machines.sh PROGRAM TEST_DATA TEST_CHILD
set -euo pipefail
source "$(dirname "$0")/../script_session.sh"
child=$3
require_tools syncthing python3

port=$((20000 + RANDOM % 20000))
declare -A id gui listen home folder shell_in
for side in a b; do
    home[$side]=$work/syncthing-$side
    folder[$side]=$work/machine-$side
    mkdir -p "${folder[$side]}"
    id[$side]=$(syncthing generate --home="${home[$side]}" --no-default-folder --skip-port-probing 2>&1 |
        sed -n 's/^Device ID: //p')
    gui[$side]=127.0.0.1:$((port++))
    listen[$side]=tcp://127.0.0.1:$((port++))
done
cp "$MOPIRA_TEST_DATA/kaomojikan/FaceList.dat" "${folder[a]}/FaceList.dat"

# Each instance knows the other by address only: no discovery, relays, NAT or reporting.
configure() {
    local side=$1 other=$2
    python3 - "${home[$side]}/config.xml" "${gui[$side]}" "${listen[$side]}" "${id[$side]}" \
        "${id[$other]}" "${listen[$other]}" "${folder[$side]}" <<'PY'
import sys, xml.etree.ElementTree as ET
path, gui, listen, me, other, other_address, folder = sys.argv[1:]
tree = ET.parse(path)
root = tree.getroot()
root.find('gui/address').text = gui
root.find('gui/apikey').text = 'mopira-test'
options = root.find('options')
for name, value in [('listenAddress', listen), ('globalAnnounceEnabled', 'false'),
                    ('localAnnounceEnabled', 'false'), ('relaysEnabled', 'false'),
                    ('natEnabled', 'false'), ('startBrowser', 'false'), ('urAccepted', '-1'),
                    ('autoUpgradeIntervalH', '0'), ('crashReportingEnabled', 'false')]:
    element = options.find(name)
    if element is None:
        element = ET.SubElement(options, name)
    element.text = value
device = ET.SubElement(root, 'device', id=other, name='other', compression='metadata')
ET.SubElement(device, 'address').text = other_address
# Syncthing's own defaults otherwise: the file watcher on, changes sent 10 s after they settle.
shared = ET.Element('folder', id='library', label='library', path=folder, type='sendreceive',
                    fsWatcherEnabled='true', fsWatcherDelayS='10', rescanIntervalS='3600')
for member in (me, other):
    ET.SubElement(shared, 'device', id=member)
root.insert(0, shared)
tree.write(path)
PY
}
configure a b
configure b a

declare -A syncthing_pid
start_syncthing() {
    local side=$1
    STNOUPGRADE=1 syncthing serve --home="${home[$side]}" --no-browser --no-restart \
        --gui-address="${gui[$side]}" >>"$work/syncthing-$side.log" 2>&1 &
    syncthing_pid[$side]=$!
    pids+=($!)
}
stop_syncthing() {
    kill "${syncthing_pid[$1]}"
    wait "${syncthing_pid[$1]}" 2>/dev/null || true
}
start_syncthing a
start_syncthing b

# Waits up to $1 seconds for "${@:2}" to succeed.
wait_long() {
    local seconds=$1 _
    shift
    for _ in $(seq $((seconds * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
same_files() { cmp -s "${folder[a]}/FaceList.dat" "${folder[b]}/FaceList.dat"; }
wait_long 60 same_files || fail "the library did not reach machine b"

# The two programs, each driven through a pipe.
for side in a b; do
    mkfifo "$work/in-$side"
    "$child" library-shell "${folder[$side]}" <"$work/in-$side" >"$work/shell-$side.log" 2>&1 &
    pids+=($!)
    exec {fd}>"$work/in-$side"
    shell_in[$side]=$fd
    wait_long 10 grep -q '^ready' "$work/shell-$side.log" || fail "the program on $side did not start"
done
send() { echo "$2" >&"${shell_in[$1]}"; }

# Every add of both sides in both files, the files the same, no conflict copy on either side.
settled() {
    local text side
    same_files || return 1
    for side in a b; do
        ! ls "${folder[$side]}" | grep -q 'sync-conflict' || return 1
    done
    for text in "$@"; do
        grep -qx "$text"$'\r' "${folder[a]}/FaceList.dat" || return 1
    done
}

# What each machine holds, for a failure.
state() {
    local side
    for side in a b; do
        echo "machine $side: $(ls "${folder[$side]}" | tr '\n' ' ')"
        echo "  holds: $(grep -aE '^(offline-)?[ab]-' "${folder[$side]}/FaceList.dat" | tr -d '\r' | tr '\n' ' ')"
    done
}

added=()
# Within Syncthing's 10 s delay, each side saves before the other's change arrives: one file
# wins and the other becomes a conflict copy.
for gap in 0.5 4; do
    send a "add a-$gap 同期"
    sleep "$gap"
    send b "add b-$gap 同期"
    added+=("a-$gap" "b-$gap")
    wait_long 120 settled "${added[@]}" || fail "adds $gap s apart were lost: $(state)"
    echo "adds $gap s apart: both kept on both machines"
done

# Machine b offline: five adds on each side, then b comes back.
stop_syncthing b
for n in 1 2 3 4 5; do
    send a "add offline-a-$n 同期"
    send b "add offline-b-$n 同期"
    added+=("offline-a-$n" "offline-b-$n")
    sleep 0.5
done
send a flush
send b flush
sleep 2
start_syncthing b
wait_long 150 settled "${added[@]}" || fail "adds made offline were lost: $(state)"
echo "offline adds: all kept on both machines"
grep -h '^merged' "$work"/shell-*.log | sed 's/^/conflict copy merged: /' || true
for side in a b; do
    send "$side" quit
done
