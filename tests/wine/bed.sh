# The Wine test bed: sourced by every file in tests/wine/cases/, which
# tests/wine/run starts with the variables below set. It gives each case file
# its own prefix (a copy of the run's template), Xvfb display and wineserver,
# and removes all three when the file ends, however it ends.
#
# Set by the runner:
#   VT_ROOT        the source tree
#   VT_BUILD       the Windows build under test (programs in $VT_BUILD/wine-tests)
#   VT_MODE        win32, wow64 (the 32-bit program in 64-bit prefixes) or win64
#   VT_PROGRAM     the kind of program under test: win32 or win64 (the twin)
#   VT_WINE        the Wine loader that starts it (/usr/lib/wine/wine64 or /usr/lib/wine/wine)
#   VT_WINESERVER  the wineserver binary for the prefix
#   VT_WINEARCH    the prefix's kind: win64 or win32
#   VT_CASE_SUFFIX appended to every case name the file reports
#   VT_TEMPLATE    the run's template prefix (never run Wine in it)
#   VT_WORK        the run's scratch directory
#   VT_RESULTS     file that receives one "PASS name" or "FAIL name" per case
#
# See tests/wine/README.md for how to write a case.

set -euo pipefail

BED_CASE_FILE=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
BED_DIR=$(mktemp -d "$VT_WORK/$BED_CASE_FILE.XXXXXX")
BED_LC_ALL=C.UTF-8
BED_TZ=UTC
BED_XVFB_PID=
BED_SERVER_UP=0
BED_CASE=
BED_CASE_IMPLICIT=0
BED_CASE_FAILURES=0
BED_EXIT=
BED_OUT=$BED_DIR/stdout
BED_ERR=$BED_DIR/stderr
BED_RUN_TIMEOUT=${BED_RUN_TIMEOUT:-120}
export WINEPREFIX=$BED_DIR/prefix
export WINEARCH=$VT_WINEARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe="
export WINESERVER=$VT_WINESERVER
unset DISPLAY

# ---- Reporting -------------------------------------------------------------

# Starts a named case; the previous one, if any, is reported first. A file
# that never calls it is one case named after the file.
bed_case() {
    bed_end_case
    BED_CASE=$1
    BED_CASE_IMPLICIT=0
    BED_CASE_FAILURES=0
    echo "---- $BED_CASE"
}

bed_end_case() {
    [ -n "$BED_CASE" ] || return 0
    # The case named after the file only counts when nothing else was named
    # or when something failed before the first named case.
    if [ "$BED_CASE_IMPLICIT" = 1 ] && [ "$BED_CASE_FAILURES" -eq 0 ] && [ "${1:-}" != final ]; then
        BED_CASE=
        return 0
    fi
    if [ "$BED_CASE_FAILURES" -eq 0 ]; then
        echo "PASS $BED_CASE${VT_CASE_SUFFIX:-}" >>"$VT_RESULTS"
    else
        echo "FAIL $BED_CASE${VT_CASE_SUFFIX:-}" >>"$VT_RESULTS"
    fi
    BED_CASE=
}

# Marks the current case failed and says why; the file goes on.
bed_fail() {
    echo "FAILED: $*" >&2
    BED_CASE_FAILURES=$((BED_CASE_FAILURES + 1))
}

bed_expect_exit() {
    local expected=$1
    if [ "$BED_EXIT" != "$expected" ]; then
        bed_fail "exit code $BED_EXIT, expected $expected (last program: $BED_LAST)"
        bed_show_output
    fi
}

# bed_expect_file PATH [--crlf] <<'EOF' ... EOF
# Compares the file byte for byte with the text on stdin; with --crlf every
# expected line ends in CR LF instead of LF. PATH may be a Windows path.
bed_expect_file() {
    local path expected
    path=$(bed_unix_path "$1")
    expected=$BED_DIR/expected.$RANDOM
    if [ "${2:-}" = --crlf ]; then
        sed 's/$/\r/' >"$expected"
    else
        cat >"$expected"
    fi
    if [ ! -f "$path" ]; then
        bed_fail "$1 was not written"
    elif ! cmp -s "$expected" "$path"; then
        bed_fail "$1 differs from the expected text (--- expected, +++ actual, shown with cat -A):"
        diff -u <(cat -A "$expected") <(cat -A "$path") | head -n 60 >&2 || true
    fi
}

bed_show_output() {
    echo "  stdout:" >&2; head -c 4000 "$BED_OUT" >&2 2>/dev/null || true
    echo "  stderr:" >&2; head -c 4000 "$BED_ERR" >&2 2>/dev/null || true
}

# ---- Prefix, drives, locale ------------------------------------------------

# Copies the template into this file's own prefix. Only C: is mapped.
bed_prefix() {
    echo "$WINEPREFIX" >>"$VT_WORK/prefixes"
    cp -a "$VT_TEMPLATE" "$WINEPREFIX"
    mkdir -p "$WINEPREFIX/drive_c/bed"
}

# bed_map_drive LETTER [LABEL [SERIAL]]: maps LETTER to a fresh empty tree and
# prints nothing; bed_drive_root LETTER gives the tree's path. An empty or
# missing LABEL/SERIAL leaves Wine's default (empty label, serial = letter
# code times 2^24). The label and serial files are ordinary dot files at the
# root, so a walk of the drive meets them.
bed_map_drive() {
    local letter=${1,,} label=${2:-} serial=${3:-} root
    root=$BED_DIR/drive_$letter
    mkdir -p "$root"
    [ -z "$label" ] || printf '%s\n' "$label" >"$root/.windows-label"
    [ -z "$serial" ] || printf '%s\n' "$serial" >"$root/.windows-serial"
    bed_map_drive_to "$letter" "$root"
}

# bed_map_drive_to LETTER DIR: maps LETTER to an existing directory as it is.
bed_map_drive_to() {
    local letter=${1,,}
    ln -sfn "$2" "$WINEPREFIX/dosdevices/$letter:"
    # Wine reads label and serial once per wineserver.
    bed_restart_server
}

bed_unmap_drive() {
    rm -f "$WINEPREFIX/dosdevices/${1,,}:"
    bed_restart_server
}

# Prints the unix directory a drive letter is mapped to.
bed_drive_root() {
    readlink -f "$WINEPREFIX/dosdevices/${1,,}:"
}

# Turns "c:\dir\file" into the unix path of that file; unix paths pass as they are.
bed_unix_path() {
    local path=$1
    if [[ $path =~ ^([A-Za-z]):(.*)$ ]]; then
        local rest=${BASH_REMATCH[2]//\\//}
        printf '%s%s\n' "$(bed_drive_root "${BASH_REMATCH[1]}")" "$rest"
    else
        printf '%s\n' "$path"
    fi
}

# bed_reg <<'EOF' ... EOF: imports registry text (REGEDIT4 lines without the
# header) into the prefix.
bed_reg() {
    { echo REGEDIT4; echo; cat; } >"$WINEPREFIX/drive_c/bed/import.reg"
    bed_wine regedit /S 'c:\bed\import.reg'
    [ "$BED_EXIT" = 0 ] || { bed_fail "regedit failed"; bed_show_output; return 0; }
}

# bed_locale LC_ALL SHORT_DATE TIME_FORMAT, e.g.
#   bed_locale de_DE.UTF-8 dd.MM.yyyy HH:mm:ss
# Every later Wine call in this prefix runs under that LC_ALL (a call under
# another one would reset the user's settings). The short date and time
# formats are written together with the separator, date order and hour
# leading-zero values derived from them, as Windows keeps both forms.
bed_locale() {
    local short_date=$2 time_format=$3 date_sep time_sep order zero
    BED_LC_ALL=$1
    date_sep=$(printf '%s' "$short_date" | tr -d 'dMy' | cut -c1)
    time_sep=$(printf '%s' "$time_format" | sed 's/^[Hh]*//' | cut -c1)
    case $(printf '%s' "$short_date" | tr -cd 'dMy' | tr -s 'dMy' | cut -c1) in
        M) order=0 ;;
        d) order=1 ;;
        y) order=2 ;;
    esac
    case $time_format in
        HH* | hh*) zero=1 ;;
        *) zero=0 ;;
    esac
    bed_reg <<EOF
[HKEY_CURRENT_USER\\Control Panel\\International]
"sShortDate"="$short_date"
"sDate"="$date_sep"
"iDate"="$order"
"sTimeFormat"="$time_format"
"sTime"="$time_sep"
"iTLZero"="$zero"
EOF
}

# bed_tz ZONE, e.g. Etc/GMT-2 (two hours east of UTC). Call before the first
# program runs.
bed_tz() {
    BED_TZ=$1
    bed_restart_server
}

# ---- Display and server ----------------------------------------------------

bed_start_display() {
    [ -z "$BED_XVFB_PID" ] || return 0
    local fdfile=$BED_DIR/display
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" \
        </dev/null >"$BED_DIR/xvfb.log" 2>&1 &
    BED_XVFB_PID=$!
    echo "$BED_XVFB_PID" >>"$VT_WORK/xvfb.pids"
    local tries=0
    until [ -s "$fdfile" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$BED_XVFB_PID" 2>/dev/null; then
            cat "$BED_DIR/xvfb.log" >&2
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.05
    done
    export DISPLAY=:$(head -n1 "$fdfile")
}

bed_start_server() {
    [ "$BED_SERVER_UP" = 0 ] || return 0
    [ -d "$WINEPREFIX" ] || { echo "bed_prefix must come first" >&2; return 1; }
    bed_start_display
    # Persistent, so that each program starts in a tenth of a second.
    env TZ="$BED_TZ" LC_ALL="$BED_LC_ALL" "$VT_WINESERVER" -p </dev/null >/dev/null 2>&1
    BED_SERVER_UP=1
}

bed_stop_server() {
    [ "$BED_SERVER_UP" = 1 ] || return 0
    "$VT_WINESERVER" -k >/dev/null 2>&1 || true
    "$VT_WINESERVER" -w >/dev/null 2>&1 || true
    BED_SERVER_UP=0
}

bed_restart_server() {
    [ "$BED_SERVER_UP" = 1 ] || return 0
    bed_stop_server
    bed_start_server
}

# ---- Running programs ------------------------------------------------------

# Finds a program by name: a test program in $VT_BUILD/wine-tests or the
# product in $VT_BUILD; copies it to c:\bed\ and prints its Windows path.
bed_install() {
    local name=$1 source
    for source in "$VT_BUILD/wine-tests/$name" "$VT_BUILD/$name"; do
        if [ -f "$source" ]; then
            cp "$source" "$WINEPREFIX/drive_c/bed/$name"
            printf 'c:\\bed\\%s\n' "$name"
            return 0
        fi
    done
    echo "no program $name in $VT_BUILD" >&2
    return 1
}

# bed_wine COMMAND ARGS...: runs a Wine command (regedit, reg, cmd /c ...) in
# the prefix from c:\, output to $BED_OUT and $BED_ERR, exit code in $BED_EXIT.
bed_wine() {
    bed_start_server
    BED_LAST=$1
    BED_EXIT=0
    # In the background so that a signal to the case file ends it at once.
    (cd "$WINEPREFIX/drive_c" &&
        exec env TZ="$BED_TZ" LC_ALL="$BED_LC_ALL" timeout -k 5 "$BED_RUN_TIMEOUT" \
            "$VT_WINE" "$@" </dev/null >"$BED_OUT" 2>"$BED_ERR") &
    wait $! || BED_EXIT=$?
    [ "$BED_EXIT" != 124 ] || echo "$BED_LAST: timed out after $BED_RUN_TIMEOUT s" >&2
    return 0
}

# bed_run PROGRAM.exe ARGS...: installs and runs a test program (or the
# product) and waits for it; exit code in $BED_EXIT (never fails itself).
bed_run() {
    local path
    path=$(bed_install "$1")
    shift
    bed_wine "$path" "$@"
}

# bed_start PROGRAM.exe ARGS...: the same in the background; its shell pid in
# $BED_PID, for bed_wait. Output goes to $BED_DIR/PROGRAM.out and .err.
bed_start() {
    local name=$1 path
    path=$(bed_install "$name")
    shift
    bed_start_server
    (cd "$WINEPREFIX/drive_c" &&
        exec env TZ="$BED_TZ" LC_ALL="$BED_LC_ALL" timeout -k 5 "$BED_RUN_TIMEOUT" \
            "$VT_WINE" "$path" "$@" </dev/null >"$BED_DIR/${name%.exe}.out" \
            2>"$BED_DIR/${name%.exe}.err") &
    BED_PID=$!
}

# bed_wait PID: waits for a program from bed_start; its exit code in $BED_EXIT.
bed_wait() {
    BED_EXIT=0
    wait "$1" || BED_EXIT=$?
    BED_LAST="background program"
}

# ---- End of the file -------------------------------------------------------

bed_finish() {
    local status=$?
    set +e
    if [ -n "$BED_CASE" ]; then
        if [ $status -ne 0 ]; then
            bed_fail "the case stopped with status $status"
        fi
        bed_end_case final
    elif [ $status -ne 0 ]; then
        echo "FAIL $BED_CASE_FILE (stopped with status $status)" >>"$VT_RESULTS"
    fi
    if [ -d "$WINEPREFIX" ]; then
        "$VT_WINESERVER" -k >/dev/null 2>&1
        "$VT_WINESERVER" -w >/dev/null 2>&1
        # The runner removes the server's directory under /tmp at the end.
        cat "$WINEPREFIX/wineserver" >>"$VT_WORK/server-dirs" 2>/dev/null
        echo >>"$VT_WORK/server-dirs"
    fi
    if [ -n "$BED_XVFB_PID" ]; then
        kill "$BED_XVFB_PID" 2>/dev/null
        wait "$BED_XVFB_PID" 2>/dev/null
    fi
    [ -n "${VT_KEEP:-}" ] || rm -rf "$BED_DIR"
    exit $status
}

trap bed_finish EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

bed_case "$BED_CASE_FILE"
BED_CASE_IMPLICIT=1
