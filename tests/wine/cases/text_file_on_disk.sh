# The buffered text file on real files under Wine: what reaches the disk,
# appending, and the result codes of opens that the platform refuses.
source "$(dirname "$0")/../bed.sh"

bed_prefix

# probe STEPS...: text_file_probe with those steps; its "result N" lines
# are then compared with expect_results.
probe() {
    bed_run text_file_probe.exe "$@"
    bed_expect_exit 0
}

# expect_results N...: the codes the probe's queries printed, in order.
expect_results() {
    local expected actual
    expected=$(printf 'result %s\n' "$@")
    actual=$(tr -d '\r' <"$BED_OUT")
    [ "$actual" = "$expected" ] || bed_fail "results: $(printf '%s' "$actual" | tr '\n' ' '), expected: $*"
}

bed_case text_file_create
probe bind 'c:\bed\created.txt' create repeat 300 x endline write 'second line' endline close query
expect_results 0
{ printf 'x%.0s' {1..300}; printf '\r\nsecond line\r\n'; } | bed_expect_file 'c:\bed\created.txt'
# Creating again empties the file.
probe bind 'c:\bed\created.txt' create write again close query
expect_results 0
printf 'again' | bed_expect_file 'c:\bed\created.txt'

bed_case text_file_append
printf 'old line\r\nno line end' >"$(bed_unix_path 'c:\bed\appended.txt')"
probe bind 'c:\bed\appended.txt' append write ';new' endline close query
expect_results 0
printf 'old line\r\nno line end;new\r\n' | bed_expect_file 'c:\bed\appended.txt'

bed_case text_file_missing
probe bind 'c:\bed\missing.txt' append query query read query bind 'c:\no such dir\x.txt' create query
expect_results 2 0 2 3
[ ! -e "$(bed_unix_path 'c:\bed\missing.txt')" ] || bed_fail "appending created the missing file"

bed_case text_file_open_here_twice
# Share mode 0: while one variable holds the file, no other open succeeds;
# the sharing violation (32) reads as access denied (5).
probe bind 'c:\bed\shared.txt' create write first \
    use 2 bind 'c:\bed\shared.txt' append query read query create query \
    use 1 close query use 2 append write ' second' close query
expect_results 5 5 5 0 0
printf 'first second' | bed_expect_file 'c:\bed\shared.txt'

bed_case text_file_held_by_another_process
printf 'kept' >"$(bed_unix_path 'c:\bed\held.txt')"
bed_start text_file_probe.exe bind 'c:\bed\held.txt' read query sleep 4000 close
holder=$BED_PID
for _ in $(seq 100); do
    grep -q result "$BED_DIR/text_file_probe.out" 2>/dev/null && break
    sleep 0.05
done
probe bind 'c:\bed\held.txt' append query create query read query
expect_results 5 5 5
bed_wait "$holder"
bed_expect_exit 0
printf 'kept' | bed_expect_file 'c:\bed\held.txt'

bed_case text_file_read_only
# As root, Wine opens a file without write permission for writing all the
# same; an immutable file is refused.
readonly_file=$(bed_unix_path 'c:\bed\readonly.txt')
printf 'locked' >"$readonly_file"
chattr +i "$readonly_file"
probe bind 'c:\bed\readonly.txt' append query create query read query close query
chattr -i "$readonly_file"
expect_results 5 5 0 0
printf 'locked' | bed_expect_file 'c:\bed\readonly.txt'
