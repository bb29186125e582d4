# scripts/run without a display, as a new user meets it: it makes its own
# Wine prefix, maps a small tree as D:, chooses D in the Files menu with the
# keyboard on a virtual display, reports the walk, saves two screenshots,
# chooses E&xit and ends with the program's exit code. Checked: what it
# prints (times and display number masked) and the listing file it leaves.
source "$(dirname "$0")/../bed.sh"

state=$BED_DIR/run-state
tree=$BED_DIR/tree
# The runner ends this prefix's processes should the file time out.
echo "$state/prefix" >>"$VT_WORK/prefixes"
mkdir -p "$tree/Songs"
printf 'RUN\n' >"$tree/.windows-label"
printf '00c0ffee\n' >"$tree/.windows-serial"
head -c 1536 /dev/zero >"$tree/notes.txt"
head -c 2560 /dev/zero >"$tree/Songs/song.mp3"
touch -d '2003-05-17 14:32:10 UTC' "$tree/notes.txt"
touch -d '2010-01-02 13:14:00 UTC' "$tree/Songs/song.mp3" "$tree/.windows-label" "$tree/.windows-serial"
if [ "$VT_PROGRAM" = win64 ]; then preset=win64; else preset=win32; fi

BED_LAST=scripts/run
BED_EXIT=0
VT_RUN_STATE=$state TZ=UTC LC_ALL=C.UTF-8 timeout -k 5 240 "$VT_ROOT/scripts/run" "$tree" \
    </dev/null >"$BED_OUT" 2>"$BED_ERR" || BED_EXIT=$?
bed_expect_exit 0

# Reports come once a second from the moment the command starts, which shows
# the drive count first; this walk is over within about a second of that.
grep -q '^run: [0-9]*\.[0-9] s: 0 lines so far, status bar "26"$' "$BED_OUT" ||
    bed_fail "no progress report with the drive count as the command started"
took=$(sed -n 's/^run: the walk of D: is over after \([0-9.]*\) s .*/\1/p' "$BED_OUT")
awk -v t="${took:-0}" 'BEGIN { exit !(t >= 1.0 && t < 30) }' ||
    bed_fail "the walk took \"$took\" s, expected the program's one-second pause and a little more"
grep -v '^run: [0-9.]* s: [0-9]* lines so far, status bar ' "$BED_OUT" |
    sed -E -e "s|$state|STATE|g" -e "s|$tree|TREE|g" -e 's/display :[0-9]+$/display :N/' \
        -e 's/over after [0-9.]+ s/over after N s/' \
        -e 's/^run: screenshot (during the walk|at the first path seen \(the walk was over by then\)):/run: screenshot of the walk:/' \
        >"$BED_DIR/printed.txt"
bed_expect_file "$BED_DIR/printed.txt" <<EOF
run: building the $preset preset
run: making the Wine prefix STATE/prefix (once)
run: drive D: is TREE, label "RUN", serial 00C0FFEE
run: the listing file is STATE/prefix/drive_c/Volume Dateienverzeichnis.txt
run: no display: starting the program on the virtual display :N
run: opening Files and choosing D with the keyboard (alt+f, Down three times, Return)
run: the walk of D: is over after N s (counted from choosing D, with the program's one-second pause)
run: status bar "D:\\Songs\\song.mp3"
run: listing file: STATE/prefix/drive_c/Volume Dateienverzeichnis.txt
run: lines added by this run: 4 (4 in the file)
run: first lines added:
    D:;RUN;00C0FFEE;\\;.windows-label;windows-label;0;kB;01/02/2010 13:14
    D:;RUN;00C0FFEE;\\;.windows-serial;windows-serial;0;kB;01/02/2010 13:14
    D:;RUN;00C0FFEE;\\;notes.txt;txt;2;kB;05/17/2003 14:32
    D:;RUN;00C0FFEE;\\Songs\\;song.mp3;mp3;2;kB;01/02/2010 13:14
run: screenshot of the walk: STATE/walk.png
run: screenshot after the walk: STATE/after.png
run: choosing E&xit (alt+f, x)
run: the program ended with exit code 0
EOF

bed_expect_file "$state/prefix/drive_c/Volume Dateienverzeichnis.txt" --crlf <<'EOF'
D:;RUN;00C0FFEE;\;.windows-label;windows-label;0;kB;01/02/2010 13:14
D:;RUN;00C0FFEE;\;.windows-serial;windows-serial;0;kB;01/02/2010 13:14
D:;RUN;00C0FFEE;\;notes.txt;txt;2;kB;05/17/2003 14:32
D:;RUN;00C0FFEE;\Songs\;song.mp3;mp3;2;kB;01/02/2010 13:14
EOF

for shot in walk after; do
    size=$(identify -format '%wx%h' "$state/$shot.png" 2>/dev/null || true)
    [ "$size" = 1024x768 ] || bed_fail "$shot.png: \"$size\", expected a 1024x768 screenshot"
done
