# The drive command under Wine on the listing tree with directories that only
# their wide names reach (outside the code page, a best fit naming a real
# sibling, trailing dot and space twins, letter-case twins): every file
# listed once, by its ANSI text, under the bed's UTF-8 locale (US settings).
source "$(dirname "$0")/../bed.sh"
source "$(dirname "$0")/listing_tree.bash"

bed_prefix
bed_tz "$LISTING_TZ"
bed_map_drive d "$LISTING_LABEL" "$LISTING_SERIAL"
listing_tree "$(bed_drive_root d)"
listing_reach_tree "$(bed_drive_root d)"

bed_run listing_probe.exe
bed_expect_exit 0
tr -d '\r' <"$BED_OUT" | grep -qx "date separator '/', date order 0, time separator ':', hour leading zero 0" ||
    { bed_fail "unexpected date and time settings"; bed_show_output; }
# "Łódź" and the real "Lódz" beside it both read "L\xF3dz" in code page 1252.
# (Fed through a file: a pipe would run the check in a subshell, whose
# failures the case would never count.)
{
    printf 'D:;"MY;DISK";00C0FFEE;\\L\xf3dz\\;f.txt;txt;0;kB;01/02/2010 13:14\n'
    printf 'D:;"MY;DISK";00C0FFEE;\\L\xf3dz\\;g.txt;txt;0;kB;01/02/2010 13:14\n'
    cat <<'LINES'
D:;"MY;DISK";00C0FFEE;\??????\;a.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\emoji??\;e.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\trail\;h.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\trail.\;i.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\trail \;j.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\Pod\;k.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\pod\;l.txt;txt;0;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\Songs\Live\;song.mp3;mp3;2;kB;05/17/2003 14:32
D:;"MY;DISK";00C0FFEE;\;late.txt;txt;1;kB;06/30/2150 12:20
LINES
} >"$BED_DIR/anchors"
listing_check D 0 / : 0 <"$BED_DIR/anchors"
