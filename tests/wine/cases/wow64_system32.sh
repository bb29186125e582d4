# The 32-bit program on 64-bit Windows: WoW64 shows it SysWOW64 wherever it
# names System32, so a walk of C: that did not turn the redirection off would
# list the 32-bit directory twice and never the real System32. Run by the
# wow64 pass alone (the 32-bit program in a 64-bit prefix).
source "$(dirname "$0")/../bed.sh"

bed_prefix
windows=$(bed_unix_path 'c:\windows')
printf '64' >"$windows/system32/vt-only-in-system32.txt"
printf '32' >"$windows/syswow64/vt-only-in-syswow64.txt"
touch -d '2003-05-17 14:32:10 UTC' "$windows/system32/vt-only-in-system32.txt" "$windows/syswow64/vt-only-in-syswow64.txt"

bed_run listing_probe.exe 103
bed_expect_exit 0
listing=$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')
grep -a 'vt-only-in' "$listing" >"$BED_DIR/markers" || true
bed_expect_file "$BED_DIR/markers" --crlf <<'EOF2'
C:;;43000000;\windows\system32\;vt-only-in-system32.txt;txt;0;kB;05/17/2003 14:32
C:;;43000000;\windows\syswow64\;vt-only-in-syswow64.txt;txt;0;kB;05/17/2003 14:32
EOF2
# Every file of each directory, each under its own name: as many lines as files.
for dir in system32 syswow64; do
    files=$(find "$windows/$dir" -maxdepth 1 -type f | wc -l)
    lines=$(grep -ac "^C:;;43000000;\\\\windows\\\\$dir\\\\;" "$listing" || true)
    [ "$files" = "$lines" ] || bed_fail "\\windows\\$dir\\: $lines lines for $files files"
done
