# The drive command under Wine, US date and time settings (month first, no
# leading zero on the hour): the listing of a mapped D: compared with the
# listing worked out from its tree.
source "$(dirname "$0")/../bed.sh"
source "$(dirname "$0")/listing_tree.bash"

bed_prefix
bed_tz "$LISTING_TZ"
bed_map_drive d "$LISTING_LABEL" "$LISTING_SERIAL"
listing_tree "$(bed_drive_root d)"
bed_locale en_US.UTF-8 M/d/yyyy 'h:mm:ss tt'

bed_run listing_probe.exe
bed_expect_exit 0
tr -d '\r' <"$BED_OUT" | grep -qx "date separator '/', date order 0, time separator ':', hour leading zero 0" ||
    { bed_fail "unexpected date and time settings"; bed_show_output; }
listing_check D 0 / : 0 <<'LINES'
D:;"MY;DISK";00C0FFEE;\Songs\Live\;song.mp3;mp3;2;kB;05/17/2003 14:32
D:;"MY;DISK";00C0FFEE;\Songs\Live\;Encore.MP3;MP3;2;kB;05/17/2003 9:05
D:;"MY;DISK";00C0FFEE;"\Rock;Pop\";track.ogg;ogg;0;kB;01/02/2010 3:04
D:;"MY;DISK";00C0FFEE;\;big.iso;iso;5242880;kB;01/02/2010 13:14
D:;"MY;DISK";00C0FFEE;\;midnight.txt;txt;1;kB;05/17/2003
D:;"MY;DISK";00C0FFEE;\;early.txt;txt;1;kB;03/04/1975 5:06
D:;"MY;DISK";00C0FFEE;\;late.txt;txt;1;kB;06/30/2150 12:20
LINES
