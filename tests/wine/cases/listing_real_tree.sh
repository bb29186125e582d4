# A real tree that no one here wrote, mapped as D: and listed by the program,
# held against a wide enumeration of the same drive (wide_listing.exe): no
# file missing, none extra. Debian's perl library holds letter-case twins
# (pod and Pod); other hosts fall back to another tree of /usr/share.
source "$(dirname "$0")/../bed.sh"

tree=
for candidate in /usr/share/perl /usr/share/doc /usr/share/zoneinfo; do
    [ -d "$candidate" ] && { tree=$candidate; break; }
done
[ -n "$tree" ] || { bed_fail "no tree of /usr/share to list"; exit 0; }
echo "listing $tree"

bed_prefix
bed_map_drive_to d "$tree"
bed_run listing_probe.exe
bed_expect_exit 0
# No label file: an empty label and Wine's default serial for D:.
bed_run wide_listing.exe 'D:\' 'c:\expected.txt' '' 44000000 0 / : 0
bed_expect_exit 0

actual=$BED_DIR/actual expected=$BED_DIR/expected
tr -d '\r' <"$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')" | LC_ALL=C sort >"$actual"
cut -f2- "$(bed_unix_path 'c:\expected.txt')" | LC_ALL=C sort >"$expected"
missing=$(LC_ALL=C comm -23 "$expected" "$actual" | wc -l)
extra=$(LC_ALL=C comm -13 "$expected" "$actual" | wc -l)
echo "$(wc -l <"$expected") files, $(wc -l <"$actual") lines, $missing missing, $extra extra"
[ -s "$expected" ] || bed_fail "the wide enumeration found no file in $tree"
if [ "$missing" != 0 ] || [ "$extra" != 0 ]; then
    bed_fail "$missing files missing, $extra lines extra (--- expected, +++ actual):"
    diff <(cat "$expected") <(cat "$actual") | head -n 20 >&2 || true
fi
