#!/usr/bin/env bash
# Benchmark of dist/torvane-convert on generated Shift-JIS sources (one entry per line, and
# marker-grouped): wall time against a dd copy of its output and against a plain fgets/fprintf
# converter, and peak resident memory for a 1 MB and a 200 MB source. Prints one table.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/bench
work=$root/build/bench
convert=$root/dist/torvane-convert
big_bytes=$((200 * 1024 * 1024))
small_bytes=$((1024 * 1024))
runs=3
mkdir -p "$work"

# Builds bench/NAME.cpp into build/bench/NAME when the source is newer.
build() {
    local name=$1
    shift
    local bin=$work/$name src=$bench/$name.cpp
    if [ ! -x "$bin" ] || [ "$src" -nt "$bin" ]; then
        g++ -std=c++17 -O2 -Wall -Wextra "$@" -o "$bin" "$src"
    fi
}
build gen_source
build baseline_fgets
# Static, so that the forked copy of it counts for little in the child's peak memory.
build measure -static || build measure

# Generates build/bench/MODE-SIZE.txt unless it is there and newer than the generator.
generate() {
    local mode=$1 label=$2 bytes=$3
    local file=$work/$mode-$label.txt
    if [ ! -f "$file" ] || [ "$work/gen_source" -nt "$file" ]; then
        "$work/gen_source" "$file" "$bytes" "$mode"
    fi
}
for mode in lines marker; do
    generate "$mode" 200mb "$big_bytes"
    generate "$mode" 1mb "$small_bytes"
done
sync

# Runs a command under measure; sets WALL and RSS.
measured() {
    local report
    report=$("$work/measure" "$@" 2>&1 >/dev/null) || {
        echo "failed: $* ($report)" >&2
        return 1
    }
    report=$(tail -n 1 <<<"$report")
    WALL=${report#wall=}
    WALL=${WALL%% *}
    RSS=${report##*rss_kb=}
}

# Best wall time and highest peak memory over $runs runs of a command writing OUTPUT,
# which is removed (and pending writes flushed) before each run. Sets BEST and PEAK.
best_of() {
    local output=$1
    shift
    BEST=
    PEAK=0
    for _ in $(seq "$runs"); do
        rm -f "$output"
        sync
        measured "$@"
        if [ -z "$BEST" ] || awk -v a="$WALL" -v b="$BEST" 'BEGIN { exit !(a < b) }'; then
            BEST=$WALL
        fi
        if [ "$RSS" -gt "$PEAK" ]; then
            PEAK=$RSS
        fi
    done
}

mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
quotient() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

declare -A R
have_convert=0
[ -x "$convert" ] && have_convert=1
if [ "$have_convert" = 0 ]; then
    echo "note: $convert not found (run make native); measuring the baseline and dd only" >&2
fi

for mode in lines marker; do
    src=$work/$mode-200mb.txt
    srt=$work/$mode-200mb.srt
    base=$work/$mode-200mb.baseline.srt
    copy=$work/$mode-200mb.copy.srt
    R[$mode,src]=$(mib "$(stat -c %s "$src")")
    echo "[$mode] timing ..." >&2

    if [ "$have_convert" = 1 ]; then
        rm -f "$srt"
        "$convert" "$src" >/dev/null  # warm the page cache
        best_of "$srt" "$convert" "$src"
        R[$mode,convert]=$BEST
        R[$mode,rss_big]=$PEAK
        best_of "$work/$mode-1mb.srt" "$convert" "$work/$mode-1mb.txt"
        R[$mode,rss_small]=$PEAK
    fi

    best_of "$base" "$work/baseline_fgets" "$src" "$base"
    R[$mode,baseline]=$BEST

    produced=$srt
    [ "$have_convert" = 1 ] || produced=$base
    R[$mode,out]=$(mib "$(stat -c %s "$produced")")
    best_of "$copy" dd if="$produced" of="$copy" bs=1M status=none
    R[$mode,dd]=$BEST
    rm -f "$copy"

    if [ "$have_convert" = 1 ]; then
        if cmp -s "$srt" "$base"; then R[$mode,match]=yes; else R[$mode,match]=NO; fi
        R[$mode,ratio]=$(quotient "${R[$mode,convert]}" "${R[$mode,dd]}")
        R[$mode,speedup]=$(quotient "${R[$mode,baseline]}" "${R[$mode,convert]}")
        R[$mode,rss_growth]=$((R[$mode,rss_big] - R[$mode,rss_small]))
    fi
    rm -f "$base" "$srt" "$work/$mode-1mb.srt"
done

row() {
    local label=$1 key=$2 goal=$3
    printf '%-34s %14s %14s   %s\n' "$label" "${R[lines,$key]:-n/a}" "${R[marker,$key]:-n/a}" "$goal"
}
echo
echo "torvane-convert benchmark (interval 5; times: wall clock, best of $runs, warm page cache)"
printf '%-34s %14s %14s   %s\n' "" "one per line" "marker groups" "goal"
row "source MiB" src ""
row "output MiB" out ""
row "convert s" convert ""
row "dd copy of output s (I/O floor)" dd ""
row "ratio convert/dd" ratio "<= 1.5"
row "baseline fgets/fprintf s" baseline ""
row "speed-up baseline/convert" speedup ">= 3"
row "baseline output equals convert's" match "yes"
row "peak RSS KB, 1 MiB source" rss_small "equal to 200 MiB"
row "peak RSS KB, 200 MiB source" rss_big "< 8192"
row "peak RSS growth KB, 200 vs 1 MiB" rss_growth "0 (+-200 is page-in noise)"
