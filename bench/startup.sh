#!/bin/sh
# Whole processes, measured from outside: the program and two floor programs started in turn
# on a virtual X server with a window manager, on generated libraries, each run with fresh
# settings. For each size it prints medians over the runs and the medians of the paired
# ratios (program / floor of the same round) of
#   mapped       from starting the process to its first window on screen, drawn or not;
#   first paint  to the first paint that reaches the X server;
#   settled      to the last paint before the quiet time (-q): the whole list shown;
#   peak memory  the process's peak resident set;
#   add          the window blocked by adding one emoticon: from Return in the add dialog
#                to the main window's next paint (the floor: from Return to its paint after
#                writing the same bytes with fsync and a rename).
# Floors: "floor" is a bare Qt main window with a tree view; "floor+data" is the same window
# reading, splitting and sorting the library and listing it.
#
# usage: bench/startup.sh [-n RUNS] [-s "SIZE..."] [-q QUIET_MS] [-A] BUILD_DIR
#   BUILD_DIR   a build holding bin/mopira, bin/mopira_floor, bin/mopira_genlib and
#               bin/mopira_paintprobe (a Release build for figures); nothing is built here
#   -n RUNS     rounds of every measurement (5)
#   -s SIZES    library sizes ("1000 100000 1000000")
#   -q QUIET_MS quiet that ends a start (1500); must exceed any pause while the list fills
#   -A          without the add measurement
# Needs Xvfb and openbox. The libraries go to a temporary folder under TMPDIR: put TMPDIR on
# a disk (not tmpfs) for the add figures.
set -eu

runs=5
sizes="1000 100000 1000000"
quiet=1500
add=1
while getopts "n:s:q:A" option; do
    case $option in
    n) runs=$OPTARG ;;
    s) sizes=$OPTARG ;;
    q) quiet=$OPTARG ;;
    A) add=0 ;;
    *) sed -n 's/^# usage: /usage: /p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
if [ $# -ne 1 ]; then
    sed -n 's/^# usage: /usage: /p' "$0" >&2
    exit 2
fi
bin=$(cd "$1/bin" && pwd)
for tool in mopira mopira_floor mopira_genlib mopira_paintprobe; do
    if [ ! -x "$bin/$tool" ]; then
        echo "startup.sh: $bin/$tool is missing; build it first" >&2
        exit 2
    fi
done
for tool in Xvfb openbox; do
    if ! command -v $tool >/dev/null; then
        echo "startup.sh: $tool is missing (tools/install-deps installs it)" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/mopira-startup.XXXXXX")
xvfb=
openbox=
probe=
cleanup() {
    for pid in $probe $openbox $xvfb; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "startup.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
DISPLAY=:$(cat "$work/display")
export DISPLAY
XDG_RUNTIME_DIR=$work/runtime
export XDG_RUNTIME_DIR
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox=$!
# Windows mapped before the window manager runs would be placed and focused differently.
for _ in $(seq 100); do
    if command -v xprop >/dev/null; then
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    fi
    sleep 0.1
done

# Each size: a data folder with the program copied in (it finds its data beside its own
# file, symbolic links resolved), the parts files and a generated library; a copy of the
# library restores it after each add.
for size in $sizes; do
    data=$work/data-$size
    mkdir "$data"
    cp "$bin/mopira" "$bin/Edge.dat" "$bin/Eye.dat" "$bin/Mouth.dat" "$bin/Emotion.dat" "$data/"
    "$bin/mopira_genlib" "$size" "$data/FaceList.dat"
    cp "$data/FaceList.dat" "$work/library-$size"
done

# Runs the probe on a command with fresh settings, leaving its line ("NAME=VALUE ...") in
# $work/probe.out; ends the script when there is no measurement.
# $1: the settings file ("" for none); then the probe's options, --, the command.
measure() {
    config=$(mktemp -d "$work/config.XXXXXX")
    if [ -n "$1" ]; then
        printf '%s\n' "$1" >"$config/mopira.ini"
    fi
    shift
    XDG_CONFIG_HOME=$config "$bin/mopira_paintprobe" --quiet "$quiet" "$@" \
        >"$work/probe.out" 2>>"$work/programs.log" &
    probe=$!
    status=0
    wait $probe || status=$?
    probe=
    rm -rf "$config"
    if [ $status -ne 0 ]; then
        echo "startup.sh: no measurement of: $*" >&2
        cat "$work/probe.out" >&2
        tail -n 20 "$work/programs.log" >&2
        exit 1
    fi
}

# Appends "SIZE VARIANT METRIC VALUE ROUND" to the results for figures of the last probe
# line. $1 size, $2 variant, $3 round, $4 "NAME:METRIC,..." of the figures wanted.
record() {
    tr ' ' '\n' <"$work/probe.out" | awk -F= -v size="$1" -v variant="$2" -v round="$3" \
        -v wanted="$4" '
        { value[$1] = $2 }
        END {
            n = split(wanted, names, ",")
            for (i = 1; i <= n; i++) {
                split(names[i], pair, ":")
                if (value[pair[1]] == "" || value[pair[1]] < 0) {
                    print "startup.sh: no " pair[1] " for " variant " at " size > "/dev/stderr"
                    exit 1
                }
                print size, variant, pair[2], value[pair[1]], round
            }
        }' >>"$results"
}

start_metrics=mapped_ms:mapped,first_paint_ms:first_paint,settled_ms:settled,peak_rss_kib:memory
results=$work/results
: >"$results"
round=1
while [ $round -le "$runs" ]; do
    for size in $sizes; do
        data=$work/data-$size
        library=$data/FaceList.dat
        # Interleaved, and each round in another order, so a slow spell of the machine
        # does not fall on one of them only.
        case $((round % 3)) in
        0) order="mopira floor floor+data" ;;
        1) order="floor floor+data mopira" ;;
        *) order="floor+data mopira floor" ;;
        esac
        for variant in $order; do
            case $variant in
            mopira) measure "" -- "$data/mopira" ;;
            floor) measure "" -- "$bin/mopira_floor" ;;
            floor+data) measure "" -- "$bin/mopira_floor" "$library" ;;
            esac
            record "$size" "$variant" $round "$start_metrics"
        done
        if [ $add -eq 1 ]; then
            # On the create tab, Alt+A opens the add dialog holding the composed face;
            # Alt+I goes to the folder tree, Down picks its first folder, Return adds.
            measure "[Window]
Tab=1" --key alt+a --key alt+i --key Down --key Return -- "$data/mopira"
            if cmp -s "$library" "$work/library-$size"; then
                echo "startup.sh: the add dialog added nothing: $(cat "$work/probe.out")" >&2
                exit 1
            fi
            cp "$work/library-$size" "$library"
            record "$size" mopira $round key4_main_paint_ms:add
            measure "" --key Return -- "$bin/mopira_floor" "$library"
            record "$size" floor+data $round key1_main_paint_ms:add
        fi
    done
    round=$((round + 1))
done

echo "Whole processes under Xvfb and openbox, medians of $runs runs; ratios are medians of"
echo "the ratios within each round. Times in ms from the start of the process (add: from"
echo "Return), memory in MiB."
awk '
    function median(list,    n, i, j, v, a) {
        n = split(list, a, " ")
        for (i = 2; i <= n; i++) {
            v = a[i] + 0
            for (j = i - 1; j >= 1 && a[j] + 0 > v; j--) a[j + 1] = a[j]
            a[j + 1] = v
        }
        if (n == 0) return ""
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function figure(v, metric) {
        if (v == "") return "-"
        return metric == "memory" ? sprintf("%.0f", v / 1024) : sprintf("%.0f", v)
    }
    function ratios(size, metric, floor,    r, k, v, list) {
        list = ""
        for (r = 1; r <= rounds; r++) {
            k = size SUBSEP metric SUBSEP r
            if ((k SUBSEP "mopira") in at && (k SUBSEP floor) in at && at[k SUBSEP floor] > 0)
                list = list " " at[k SUBSEP "mopira"] / at[k SUBSEP floor]
        }
        v = median(list)
        return v == "" ? "-" : sprintf("%.2f", v)
    }
    {
        at[$1 SUBSEP $3 SUBSEP $5 SUBSEP $2] = $4
        all[$1 SUBSEP $3 SUBSEP $2] = all[$1 SUBSEP $3 SUBSEP $2] " " $4
        if (!($1 in seen)) { seen[$1] = 1; sizes[++count] = $1 }
        if ($5 > rounds) rounds = $5
    }
    END {
        split("mapped first_paint settled memory add", metrics, " ")
        split("mapped,first paint,settled,peak memory,add", labels, ",")
        printf "%-9s %-12s %8s %8s %11s %13s %18s\n", "size", "", "mopira", "floor", \
            "floor+data", "mopira/floor", "mopira/floor+data"
        for (s = 1; s <= count; s++) {
            for (m = 1; m <= 5; m++) {
                key = sizes[s] SUBSEP metrics[m]
                if (!((key SUBSEP "mopira") in all)) continue
                printf "%-9s %-12s %8s %8s %11s %13s %18s\n", sizes[s], labels[m], \
                    figure(median(all[key SUBSEP "mopira"]), metrics[m]), \
                    figure(median(all[key SUBSEP "floor"]), metrics[m]), \
                    figure(median(all[key SUBSEP "floor+data"]), metrics[m]), \
                    ratios(sizes[s], metrics[m], "floor"), \
                    ratios(sizes[s], metrics[m], "floor+data")
            }
        }
    }' "$results"
