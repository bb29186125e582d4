# The drive command under Wine, German date and time settings: the listing of
# a mapped D: compared with the listing worked out from its tree, then a
# second run appending the same block.
source "$(dirname "$0")/../bed.sh"
source "$(dirname "$0")/listing_tree.bash"

bed_prefix
bed_tz "$LISTING_TZ"
bed_map_drive d "$LISTING_LABEL" "$LISTING_SERIAL"
listing_tree "$(bed_drive_root d)"
bed_locale de_DE.UTF-8 dd.MM.yyyy HH:mm:ss

bed_run listing_probe.exe
bed_expect_exit 0
tr -d '\r' <"$BED_OUT" | grep -qx "date separator '.', date order 1, time separator ':', hour leading zero 1" ||
    { bed_fail "unexpected date and time settings"; bed_show_output; }
listing_check D 1 . : 1 <<'LINES'
D:;"MY;DISK";00C0FFEE;\Songs\Live\;song.mp3;mp3;2;kB;17.05.2003 14:32
D:;"MY;DISK";00C0FFEE;\Songs\Live\;Encore.MP3;MP3;2;kB;17.05.2003 09:05
D:;"MY;DISK";00C0FFEE;\Songs\;cover.jpg;jpg;4;kB;17.05.2003 23:59
D:;"MY;DISK";00C0FFEE;"\Rock;Pop\";track.ogg;ogg;0;kB;02.01.2010 03:04
D:;"MY;DISK";00C0FFEE;\;"a;b.txt";txt;1;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;"say ""hi"".txt";txt;0;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;README;;0;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;.profile;profile;0;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;archive.tar.gz;gz;2097152;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;big.iso;iso;5242880;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;midnight.txt;txt;1;kB;17.05.2003
D:;"MY;DISK";00C0FFEE;\;early.txt;txt;1;kB;04.03.1975 05:06
D:;"MY;DISK";00C0FFEE;\;late.txt;txt;1;kB;30.06.2150 12:20
D:;"MY;DISK";00C0FFEE;\sub\recycled\;kept.txt;txt;0;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\sub2\RECYCLED\;kept too.txt;txt;0;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\sub\deeper\deepest\;file.txt;txt;2;kB;02.01.2010 13:14
D:;"MY;DISK";00C0FFEE;\;.windows-label;windows-label;0;kB;02.01.2010 13:14
LINES

# A second run appends the same block after the first.
listing=$(bed_unix_path "$LISTING_FILE")
cp "$listing" "$BED_DIR/first-run"
bed_run listing_probe.exe
bed_expect_exit 0
cmp -s <(cat "$BED_DIR/first-run" "$BED_DIR/first-run") "$listing" ||
    bed_fail "the second run did not append the same block after the first"
