# The drive commands of the real program, chosen from a second program
# (e2e_driver.exe): a drive's listing appended to c:\Volume
# Dateienverzeichnis.txt, byte for byte, twice; an absent drive; and a
# read-only listing file ending the program with the failure report.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_locale de_DE.UTF-8 dd.MM.yyyy HH:mm:ss
bed_map_drive d DATA 1234abcd
bed_install volume-tarrow.exe >/dev/null
listing=$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')

# D: holds, besides its label and serial files, a file at the root, a file
# one and two levels down, and two directories the walk passes over.
d=$(bed_drive_root d)
mkdir -p "$d/Songs/Live" "$d/Recycled" "$d/.git"
head -c 3584 /dev/zero >"$d/archive.tar.gz"
head -c 1536 /dev/zero >"$d/Songs/live.mp3"
head -c 2560 /dev/zero >"$d/Songs/Live/encore.ogg"
echo junk >"$d/Recycled/junk.txt"
echo '[core]' >"$d/.git/config"
touch -d '2024-01-15 09:05:00 UTC' "$d/.windows-label" "$d/.windows-serial"
touch -d '2019-12-31 23:59:58 UTC' "$d/archive.tar.gz"
touch -d '2003-05-17 14:32:10 UTC' "$d/Songs/live.mp3"
touch -d '2010-01-02 00:00:00 UTC' "$d/Songs/Live/encore.ogg"

# The listing follows the order in which Wine returns a directory's entries;
# the expected lines below assume this order.
bed_case "e2e listing: the platform's entry order"
bed_run e2e_driver.exe entries 'D:\*.*' entries 'D:\Songs\*.*'
bed_expect_file "$BED_OUT" <<'EOF'
entries of D:\*.*: .git .windows-label .windows-serial archive.tar.gz Recycled Songs
entries of D:\Songs\*.*: . .. Live live.mp3
EOF

block() {
    cat <<'EOF'
D:;DATA;1234ABCD;\;.windows-label;windows-label;0;kB;15.01.2024 09:05
D:;DATA;1234ABCD;\;.windows-serial;windows-serial;0;kB;15.01.2024 09:05
D:;DATA;1234ABCD;\;archive.tar.gz;gz;4;kB;31.12.2019 23:59
D:;DATA;1234ABCD;\Songs\Live\;encore.ogg;ogg;2;kB;02.01.2010
D:;DATA;1234ABCD;\Songs\;live.mp3;mp3;2;kB;17.05.2003 14:32
EOF
}

bed_case "e2e listing: the D: item lists the drive into a new listing file"
bed_run e2e_driver.exe start send 104 took-at-least 1000 status alive send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
took at least 1000 ms: yes
status: " D:\Songs\live.mp3"
window: open
exit code: 0
EOF
block | bed_expect_file "$listing" --crlf

bed_case "e2e listing: a second D: command appends the same block"
bed_run e2e_driver.exe start send 104 status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
status: " D:\Songs\live.mp3"
exit code: 0
EOF
{ block; block; } | bed_expect_file "$listing" --crlf

bed_case "e2e listing: an absent drive among A to J appends nothing"
bed_run e2e_driver.exe start send 101 took-at-least 1000 status send 110 status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
took at least 1000 ms: yes
status: " 26"
status: " 26"
exit code: 0
EOF
{ block; block; } | bed_expect_file "$listing" --crlf

bed_case "e2e listing: a read-only listing file ends with File not open"
# Root opens read-only files for writing all the same; an immutable file it
# cannot. Whatever ends this file, the flag must go, or the scratch
# directory cannot be removed.
if [ "$(id -u)" = 0 ]; then
    trap 'status=$?; chattr -i "$listing" 2>/dev/null; (exit $status); bed_finish' EXIT
    chattr +i "$listing"
else
    chmod 0444 "$listing"
fi
bed_run e2e_driver.exe start post 104 box-head 2 wait-exit
[ "$(id -u)" != 0 ] || chattr -i "$listing"
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
box caption: "Error"
box text: "An unhandled exception occurred at 0x######## :\r\nFile not open\r\n"
box owner: none
exit code: 217
EOF
{ block; block; } | bed_expect_file "$listing" --crlf
