# The drive command on listing files that earlier runs left behind: one of
# more than 4 GiB (Wine moves past 4 GiB even where Windows would not; the
# host tests hold the program to Windows), and ones cut off inside a line at
# a buffer's end, as a full disk, a crash or a power cut leaves them.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_map_drive d
truncate -s 1536 "$(bed_drive_root d)/song.mp3"
touch -d '2003-05-17 14:32:10 UTC' "$(bed_drive_root d)/song.mp3"
listing=$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')
line=$'D:;;44000000;\\;song.mp3;mp3;2;kB;05/17/2003 14:32\r\n'

# list_d: the D: command of the program's drive command.
list_d() {
    bed_run listing_probe.exe 104
    bed_expect_exit 0
}

# expect_listing EARLIER BETWEEN: the listing file is EARLIER, then BETWEEN,
# then the lines of D:.
expect_listing() {
    printf '%s%s%s' "$1" "$2" "$line" | bed_expect_file "$listing"
}

bed_case "listing file end: a file of more than 4 GiB gets the lines after its last byte"
printf 'first line\r\n' >"$listing"
truncate -s $((4 << 30)) "$listing"
printf 'last line\r\n' >>"$listing"
size=$(stat -c %s "$listing")
list_d
head -c 12 "$listing" >"$BED_DIR/first"
printf 'first line\r\n' | bed_expect_file "$BED_DIR/first"
tail -c +$((size - 11 + 1)) "$listing" >"$BED_DIR/last"
printf 'last line\r\n%s' "$line" | bed_expect_file "$BED_DIR/last"
[ "$(stat -c %s "$listing")" = $((size + ${#line})) ] || bed_fail "size $(stat -c %s "$listing"), expected $((size + ${#line}))"
rm -f "$listing"

# 256 bytes, the listing's buffer: two whole lines and the start of a third.
whole=$(printf 'x%.0s' {1..100})$'\r\n'
cut=$(printf 'y%.0s' {1..52})

bed_case "listing file end: a line cut at a buffer's end is ended before the new lines"
printf '%s' "$whole$whole$cut" >"$listing"
list_d
expect_listing "$whole$whole$cut" $'\r\n'

bed_case "listing file end: a line cut between its CR and LF gets its LF"
printf '%s' "$whole$whole${cut:1}"$'\r' >"$listing"
list_d
expect_listing "$whole$whole${cut:1}"$'\r' $'\n'

bed_case "listing file end: a whole last line gets nothing in between"
printf '%s' "$whole$whole" >"$listing"
list_d
expect_listing "$whole$whole" ''
