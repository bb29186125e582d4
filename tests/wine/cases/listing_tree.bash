# The tree that the listing cases map as D:, and the listing expected of it,
# worked out from the tree itself (a wide enumeration of the drive, names
# converted to the ANSI code page, sizes and times as Wine reports them) by
# the rules of the listing, independently of the program
# (programs/wide_listing.cpp). Sourced by cases/listing_*.sh after bed.sh;
# the runner only runs *.sh files.

LISTING_LABEL='MY;DISK'
LISTING_SERIAL=00c0ffee
# Two hours east of UTC, no daylight saving: bed_tz and the expected times agree.
LISTING_TZ=Etc/GMT-2
LISTING_FILE='c:\Volume Dateienverzeichnis.txt'

# _listing_file PATH SIZE LOCAL-TIME: a sparse file under $root (the caller's).
_listing_file() {
    mkdir -p "$(dirname "$root/$1")"
    truncate -s "$2" "$root/$1"
    TZ=$LISTING_TZ touch -d "$3" "$root/$1"
}

# listing_tree ROOT: fills the drive's tree. Times are local times of $LISTING_TZ.
listing_tree() {
    local root=$1
    _listing_file 'Songs/Live/song.mp3' 1536 '2003-05-17 14:32:10'
    _listing_file 'Songs/Live/Encore.MP3' 2560 '2003-05-17 09:05:58'
    _listing_file 'Songs/cover.jpg' 3584 '2003-05-17 23:59:59'
    _listing_file 'Rock;Pop/track.ogg' 512 '2010-01-02 03:04:05'
    _listing_file 'a;b.txt' 513 '2010-01-02 13:14:15'
    _listing_file 'say "hi".txt' 511 '2010-01-02 13:14:15'
    _listing_file 'README' 0 '2010-01-02 13:14:15'
    _listing_file '.profile' 1 '2010-01-02 13:14:15'
    _listing_file 'archive.tar.gz' 2147483648 '2010-01-02 13:14:15'
    _listing_file 'big.iso' 5368709120 '2010-01-02 13:14:15'
    _listing_file 'midnight.txt' 1024 '2003-05-17 00:00:01'
    _listing_file 'early.txt' 1024 '1975-03-04 05:06:07'
    _listing_file 'late.txt' 1024 '2150-06-30 12:20:30'
    _listing_file '.git/config' 100 '2010-01-02 13:14:15'
    _listing_file '.hidden/x.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Recycled/deleted.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'sub/recycled/kept.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'sub2/RECYCLED/kept too.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'sub/deeper/deepest/file.txt' 2048 '2010-01-02 13:14:15'
    mkdir -p "$root/empty"
    # A loop: Wine follows directory symlinks, so a walk that entered it
    # would go round until the path grew too long.
    ln -s .. "$root/sub/loop"
    ln -s "$root/Songs" "$root/sub2/songs again"
    # The label and serial files are listed too; give them fixed times.
    TZ=$LISTING_TZ touch -d '2010-01-02 13:14:15' "$root/.windows-label" "$root/.windows-serial"
    # The big files must stay sparse, or the test fills the disk.
    [ "$(du -k "$root/big.iso" | cut -f1)" -lt 1024 ] || bed_fail "big.iso is not sparse"
}

# listing_reach_tree ROOT: adds directories that only their wide names reach:
# outside the code page (nested too), a best fit that names a real sibling,
# trailing dot and trailing space twins, letter-case twins. Wine reads unix
# names in the character set of LC_ALL, so a case that lists them runs under
# an installed UTF-8 locale (the bed's default, C.UTF-8).
listing_reach_tree() {
    local root=$1
    _listing_file 'Москва/a.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Москва/Київ/b.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Ωμέγα/c.txt' 100 '2010-01-02 13:14:15'
    _listing_file '日本語/d.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'emoji😀/e.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Łódź/f.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Lódz/g.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'trail/h.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'trail./i.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'trail /j.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'Pod/k.txt' 100 '2010-01-02 13:14:15'
    _listing_file 'pod/l.txt' 100 '2010-01-02 13:14:15'
}

# listing_expected LETTER DATE-ORDER DATE-SEP TIME-SEP HOUR-ZERO: prints, for
# each file the walk lists, its directory (UTF-8), a TAB and its line, as
# wide_listing.exe works them out from the mapped drive.
listing_expected() {
    local letter=$1
    bed_run wide_listing.exe "$letter:\\" 'c:\expected.txt' "$LISTING_LABEL" "${LISTING_SERIAL^^}" "$2" "$3" "$4" "$5"
    [ "$BED_EXIT" = 0 ] || { bed_fail "wide_listing.exe failed with $BED_EXIT"; bed_show_output; }
    cat "$(bed_unix_path 'c:\expected.txt')"
}

# listing_check LETTER DATE-ORDER DATE-SEP TIME-SEP HOUR-ZERO [LISTING] <<'EOF' lines EOF
# Checks the listing file (by default the one on C:) against the tree: every
# line ends in CR LF; the lines are exactly the expected ones (the order of
# siblings is the file system's, so they are compared as a multiset); the
# walk is depth first and pre-order: the lines of every directory and all
# below it form one unbroken run. The lines on stdin, written out by hand,
# must each be there once.
listing_check() {
    # Names in the code page are bytes, not UTF-8.
    local LC_ALL=C listing
    listing=$(bed_unix_path "${6:-$LISTING_FILE}")
    local expected=$BED_DIR/listing.expected actual=$BED_DIR/listing.actual
    [ -f "$listing" ] || { bed_fail "$listing was not written"; return 0; }
    listing_expected "$1" "$2" "$3" "$4" "$5" >"$expected"
    sed 's/\r$//' "$listing" >"$actual"

    cmp -s <(sed 's/$/\r/' "$actual") "$listing" || bed_fail "not every line of the listing ends in CR LF"
    if ! cmp -s <(cut -f2- "$expected" | LC_ALL=C sort) <(LC_ALL=C sort "$actual"); then
        bed_fail "the listing's lines differ from the tree's (--- expected, +++ actual):"
        diff -u <(cut -f2- "$expected" | LC_ALL=C sort) <(LC_ALL=C sort "$actual") | head -n 60 >&2 || true
    fi

    local -A directory_of=() first=() last=() count=()
    local directory line position=0 ancestor rest
    while IFS=$'\t' read -r directory line; do
        directory_of[$line]=$directory
    done <"$expected"
    while IFS= read -r line; do
        position=$((position + 1))
        directory=${directory_of[$line]-}
        [ -n "$directory" ] || continue
        ancestor='\'
        rest=${directory#\\}
        while :; do
            [ -n "${first[$ancestor]-}" ] || first[$ancestor]=$position
            last[$ancestor]=$position
            count[$ancestor]=$((${count[$ancestor]-0} + 1))
            [ -n "$rest" ] || break
            ancestor="$ancestor${rest%%\\*}\\"
            rest=${rest#*\\}
        done
    done <"$actual"
    for ancestor in "${!count[@]}"; do
        if [ $((last[$ancestor] - first[$ancestor] + 1)) -ne "${count[$ancestor]}" ]; then
            bed_fail "the lines of $ancestor and below are not one run (lines ${first[$ancestor]} to ${last[$ancestor]}, ${count[$ancestor]} of them)"
        fi
    done

    while IFS= read -r line; do
        [ "$(grep -cFx -- "$line" "$actual")" = 1 ] || bed_fail "not listed once: $line"
    done
}
