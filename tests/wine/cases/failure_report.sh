# The failure report of the real program's code under Wine: processor faults,
# a failed check and exhausted memory each end the process with "Error"
# boxes and exit code 217. box_driver answers the boxes and records them.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_install fault_probe.exe >/dev/null
RECORDS=$(bed_unix_path 'c:\bed')

# run_probe MODE: fault_probe MODE under the box driver; the record in
# $RECORD, the probe's function starts in FUNCTION[name].
declare -A FUNCTION
run_probe() {
    local mode=$1 name address
    RECORD=$RECORDS/record-$mode
    bed_run box_driver.exe "c:\\bed\\record-$mode" 'c:\bed\fault_probe.exe' "$mode"
    bed_expect_exit 0
    FUNCTION=()
    while read -r name address; do
        FUNCTION[$name]=${address%$'\r'}
    done <"$BED_OUT"
    [ "$(cat "$RECORD/exit" 2>/dev/null)" = 217 ] ||
        bed_fail "$mode: exit code $(cat "$RECORD/exit" 2>/dev/null), expected 217"
}

# expect_boxes N: the probe showed N boxes, each captioned "Error".
expect_boxes() {
    local count i
    count=$(cat "$RECORD/boxes" 2>/dev/null || echo none)
    [ "$count" = "$1" ] || { bed_fail "$count boxes, expected $1"; return 0; }
    for ((i = 1; i <= count; i++)); do
        [ "$(cat "$RECORD/box$i.caption")" = Error ] ||
            bed_fail "box $i caption: $(cat "$RECORD/box$i.caption")"
    done
}

# expect_report MESSAGE: the boxes together hold one report of that message:
# the head line, the message, the address again, caller lines, an empty
# line, every line ended by CR LF. Sets REPORT_ADDRESS and CALLERS (array).
expect_report() {
    local message=$1 text head_re caller_re lines i last
    text=$(cat "$RECORD"/box*.text; printf '.')
    text=${text%.}
    head_re=$'^An unhandled exception occurred at 0x([0-9A-F]{8}) :\r$'
    caller_re=$'^  0x([0-9A-F]{8})\r$'
    REPORT_ADDRESS=
    CALLERS=()
    [ "${text: -4}" = $'\r\n\r\n' ] || bed_fail "the report does not end in an empty line"
    local lf=$'\n'
    mapfile -t lines <<<"${text%"$lf"}"
    if [[ ${lines[0]} =~ $head_re ]]; then
        REPORT_ADDRESS=${BASH_REMATCH[1]}
    else
        bed_fail "first line: $(printf '%s' "${lines[0]}" | cat -A)"
    fi
    [ "${lines[1]}" = "$message"$'\r' ] || bed_fail "second line: $(printf '%s' "${lines[1]}" | cat -A)"
    [ "${lines[2]}" = "  0x$REPORT_ADDRESS"$'\r' ] || bed_fail "third line: $(printf '%s' "${lines[2]}" | cat -A)"
    last=$((${#lines[@]} - 1))
    [ "${lines[$last]}" = $'\r' ] || bed_fail "last line not empty: $(printf '%s' "${lines[$last]}" | cat -A)"
    for ((i = 3; i < last; i++)); do
        if [[ ${lines[$i]} =~ $caller_re ]]; then
            CALLERS+=("${BASH_REMATCH[1]}")
        else
            bed_fail "line $((i + 1)): $(printf '%s' "${lines[$i]}" | cat -A)"
        fi
    done
}

# expect_in FUNCTION ADDRESS WHAT [SPAN]: ADDRESS lies in the first SPAN
# bytes (0x80 unless given) of the probe's FUNCTION; all but main are a few
# instructions long.
expect_in() {
    local start=${FUNCTION[$1]:-} address=$2 span=${4:-0x80}
    if [ -z "$start" ] || [ -z "$address" ] ||
        (((16#$address) < start || (16#$address) >= start + span)); then
        bed_fail "$3 0x$address is not in $1 (at ${start:-?})"
    fi
}

# Where the platform unwinds through the fault (x86-64), the faulting
# instruction is on the call chain and the callers follow it; a 32-bit Wine
# follows frame pointers only and shows its exception dispatch first.
expect_callers() {
    expect_in Middle "${CALLERS[0]:-}" "first caller"
    expect_in Outer "${CALLERS[1]:-}" "second caller"
    expect_in main "${CALLERS[2]:-}" "third caller" 0x400
}

bed_case failure_access_violation
run_probe access
expect_boxes 1
expect_report "Access violation"
expect_in Fail "$REPORT_ADDRESS" "the fault"
[ "$VT_PROGRAM" != win64 ] || expect_callers

bed_case failure_division_by_zero
run_probe divide
expect_boxes 1
expect_report "Division by zero"
expect_in Fail "$REPORT_ADDRESS" "the fault"
[ "$VT_PROGRAM" != win64 ] || expect_callers

bed_case failure_file_not_open
run_probe check
expect_boxes 1
expect_report "File not open"
# Raised at the return address of Check in the function that checked.
expect_in Fail "$REPORT_ADDRESS" "the check"
expect_callers

bed_case failure_out_of_memory
run_probe memory
expect_boxes 1
expect_report "Out of memory"
# Raised inside the allocator; the first caller is the code that allocated.
expect_in Fail "${CALLERS[0]:-}" "the allocating call"
expect_in Middle "${CALLERS[1]:-}" "its caller"

bed_case failure_report_in_two_boxes
run_probe deep
expect_boxes 2
[ "$(stat -c %s "$RECORD/box1.text")" = 1024 ] || bed_fail "the first box holds $(stat -c %s "$RECORD/box1.text") bytes, not 1024"
# 100 recursive frames and more: the line cut at the first box's end loses
# its rest, so the boxes are checked apart.
head_re=$'^An unhandled exception occurred at 0x[0-9A-F]{8} :\r$'
[[ $(head -n1 "$RECORD/box1.text") =~ $head_re ]] || bed_fail "first box: $(head -n1 "$RECORD/box1.text" | cat -A)"
[ "$(sed -n 2p "$RECORD/box1.text")" = $'File not open\r' ] || bed_fail "no File not open in the first box"
[ "$(tail -c 4 "$RECORD/box2.text" | od -An -tx1 | tr -d ' ')" = 0d0a0d0a ] || bed_fail "the second box does not end the report"
grep -qvE $'^(  0x[0-9A-F]{8})?\r$' "$RECORD/box2.text" &&
    bed_fail "second box: $(cat -A "$RECORD/box2.text" | head -n 5)"
true

# The report of a stack overflow runs on a thread of its own: the overflowing
# one has one page of stack left. The chain is the overflowing thread's,
# recursion all the way, cut at 257 caller lines: four boxes. A 64-bit Wine 8
# ends such a process itself before any of the program's code can run (it
# needs more than that page to deliver the fault), so only the 32-bit program
# is checked.
if [ "$VT_PROGRAM" = win32 ]; then
    bed_case failure_stack_overflow
    run_probe stack
    expect_boxes 4
    [ "$(sed -n 2p "$RECORD/box1.text")" = $'Unknown Run-Time error : 202\r' ] ||
        bed_fail "second line: $(sed -n 2p "$RECORD/box1.text" | cat -A)"
    [ "$(tail -c 4 "$RECORD/box4.text" | od -An -tx1 | tr -d ' ')" = 0d0a0d0a ] ||
        bed_fail "the last box does not end the report"
    # 3 lines before the callers, 257 callers and the empty line: 261, less
    # the three lines cut where a box was full (the rest of such a line is lost).
    lines=$(cat "$RECORD"/box*.text | grep -c $'\r$')
    [ "$lines" = 258 ] || bed_fail "$lines whole report lines, expected 258"

    # Memory exhausted for real, address space and all, after the display
    # driver is loaded, as in the program when a walk runs out: the box still
    # comes up. A 64-bit address space cannot be used up in a test.
    bed_case failure_memory_exhausted
    run_probe exhaust
    expect_boxes 1
    expect_report "Out of memory"
    expect_in Fail "${CALLERS[0]:-}" "the allocating call" 0x200
fi
