# The Wine half of the benchmark, run by bench/run through the Wine test bed
# (tests/wine/run) so that it gets a prefix, display and server of its own.
# Maps $BENCH_TREE as drive D: and appends raw measurements to
# $BENCH_RESULTS, $BENCH_RUNS times each:
#   bare ...       bench_walk.exe: the bare FindFirstFileA/FindNextFileA walk
#   bare-wide ...  bench_walk.exe --wide: the bare walk with the program's own
#                  wide search (FindFirstFileExW on \\?\ paths, basic
#                  information, large fetch)
#   listing ...    the program's D: command through bench_driver.exe, with the
#                  listing file's lines, bytes and checksum; each run of it
#                  follows the two bare walks and carries their "pair" number
#   memory ...     the program's memory counters before and after a listing
#   dir ...        cmd /c dir /s /b D:\ > c:\dir.txt
#   call ...       bench_calls.exe: the cost of each platform call per file
source "$VT_ROOT/tests/wine/bed.sh"

: "${BENCH_TREE:?}" "${BENCH_RESULTS:?}"
runs=${BENCH_RUNS:-3}
# Before the status bar is throttled, one listing of 100,000 files takes minutes.
BED_RUN_TIMEOUT=${BENCH_RUN_TIMEOUT:-1800}

bed_prefix
bed_map_drive_to d "$BENCH_TREE"
bed_install volume-tarrow.exe >/dev/null
listing=$WINEPREFIX/drive_c/Volume\ Dateienverzeichnis.txt
dir_output=$WINEPREFIX/drive_c/dir.txt

record() { printf '%s\n' "$*" >>"$BENCH_RESULTS"; }
# The programs' output with its CR LF line ends made plain.
output() { tr -d '\r' <"$BED_OUT"; }

# Reads the tree once so that every measurement finds it in the cache.
bed_run bench_walk.exe 'D:\'

# The bare walks and (b) take turns, a pair a run, so that a slow spell of the
# shared host slows both sides of a pair alike; the report takes the median
# of the pairs' ratios. Which bare walk goes first alternates.
for pair in $(seq "$runs"); do
    walks=("" --wide)
    [ $((pair % 2)) = 1 ] || walks=(--wide "")
    for walk in "${walks[@]}"; do
        bed_run bench_walk.exe $walk 'D:\'
        [ "$BED_EXIT" = 0 ] || { bed_fail "bench_walk.exe $walk ended with $BED_EXIT"; bed_show_output; }
        record "bare${walk:+-wide} $(output) pair $pair"
    done

    rm -f "$listing"
    bed_run bench_driver.exe start memory before list 104 memory after quit
    [ "$BED_EXIT" = 0 ] || { bed_fail "bench_driver.exe ended with $BED_EXIT"; bed_show_output; continue; }
    output | grep '^memory ' >>"$BENCH_RESULTS"
    record "listing $(output | grep '^list 104 ' | cut -d' ' -f3-) lines $(wc -l <"$listing")" \
        "bytes $(stat -c %s "$listing") md5 $(md5sum <"$listing" | cut -d' ' -f1) pair $pair"
done

for _ in $(seq "$runs"); do
    rm -f "$dir_output"
    bed_run bench_driver.exe run 'cmd /c dir /s /b D:\ > c:\dir.txt'
    [ "$BED_EXIT" = 0 ] || { bed_fail "cmd's dir ended with $BED_EXIT"; bed_show_output; continue; }
    record "dir $(output | cut -d' ' -f2-) lines $(wc -l <"$dir_output")"
done

bed_run bench_calls.exe 2000
output | sed 's/^/call /' >>"$BENCH_RESULTS"
