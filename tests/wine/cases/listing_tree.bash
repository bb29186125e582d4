# The tree that the listing cases map as D:, and the listing expected of it,
# worked out from the tree itself (names, sizes and times as the file system
# reports them) by the rules of the listing, independently of the program.
# Sourced by cases/listing_*.sh after bed.sh; the runner only runs *.sh files.

LISTING_LABEL='MY;DISK'
LISTING_SERIAL=00c0ffee
# Two hours east of UTC, no daylight saving: bed_tz and the expected times agree.
LISTING_TZ=Etc/GMT-2
LISTING_FILE='c:\Volume Dateienverzeichnis.txt'

# listing_tree ROOT: fills the drive's tree. Times are local times of $LISTING_TZ.
listing_tree() {
    local root=$1
    _listing_file() { # PATH SIZE LOCAL-TIME
        mkdir -p "$(dirname "$root/$1")"
        truncate -s "$2" "$root/$1"
        TZ=$LISTING_TZ touch -d "$3" "$root/$1"
    }
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

# A field as the listing writes it: quoted, with quotes doubled, when it holds ";" or '"'.
_listing_field() {
    local field=$1
    if [[ $field == *[\;\"]* ]]; then
        printf '"%s"' "${field//\"/\"\"}"
    else
        printf '%s' "$field"
    fi
}

# listing_expected ROOT LETTER DATE-FORMAT TIME-FORMAT: prints, for each file
# the walk lists, its directory, a TAB and its line. The formats are date(1)
# formats of the locale's date and of its hour and minute.
listing_expected() {
    local root=$1 letter=$2 date_format=$3 time_format=$4
    local head
    head="$letter:;$(_listing_field "$LISTING_LABEL");${LISTING_SERIAL^^};"
    _listing_directory() { # UNIX-DIR WINDOWS-DIR
        local entry name extension size mtime kilobytes rest when
        for entry in "$1"/*; do
            name=${entry##*/}
            if [ -d "$entry" ]; then
                # Dot directories, exactly "Recycled" and links are not entered.
                [[ $name == .* || $name == Recycled || -L $entry ]] && continue
                _listing_directory "$entry" "$2$name\\"
                continue
            fi
            extension=
            if [[ $name == *.* ]]; then
                extension=${name##*.}
                [[ $extension == *[/\\:]* ]] && extension=
            fi
            size=$(stat -L -c %s "$entry")
            mtime=$(stat -L -c %Y "$entry")
            kilobytes=$((size >> 10))
            rest=$((size & 1023))
            if [ $rest -gt 512 ] || { [ $rest -eq 512 ] && [ $((kilobytes & 1)) -eq 1 ]; }; then
                kilobytes=$((kilobytes + 1))
            fi
            # Midnight, seconds in steps of two, gives the date alone.
            if [[ $(TZ=$LISTING_TZ date -d "@$mtime" +%H%M%S) == 00000[01] ]]; then
                when=$(TZ=$LISTING_TZ date -d "@$mtime" "+$date_format")
            else
                when=$(TZ=$LISTING_TZ date -d "@$mtime" "+$date_format $time_format")
            fi
            printf '%s\t%s%s;%s;%s;%s;kB;%s\n' "$2" "$head" "$(_listing_field "$2")" "$(_listing_field "$name")" \
                "$(_listing_field "$extension")" "$kilobytes" "$when"
        done
    }
    (
        shopt -s dotglob nullglob
        _listing_directory "$root" '\'
    )
}

# listing_check ROOT LETTER DATE-FORMAT TIME-FORMAT [LISTING] <<'EOF' lines EOF
# Checks the listing file (by default the one on C:) against the tree: every
# line ends in CR LF; the lines are exactly the expected ones (the order of
# siblings is the file system's, so they are compared as a multiset); the
# walk is depth first and pre-order: the lines of every directory and all
# below it form one unbroken run. The lines on stdin, written out by hand,
# must each be there once.
listing_check() {
    local root=$1 letter=$2 date_format=$3 time_format=$4 listing
    listing=$(bed_unix_path "${5:-$LISTING_FILE}")
    local expected=$BED_DIR/listing.expected actual=$BED_DIR/listing.actual
    [ -f "$listing" ] || { bed_fail "$listing was not written"; return 0; }
    listing_expected "$root" "$letter" "$date_format" "$time_format" >"$expected"
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
