# The program as Windows users get it: the release archive (the program and a
# plain-text guide with CR LF line ends), the version resource Explorer and
# Task Manager show, its own manifest that requests no execution level, and the
# error mode that keeps empty removable drives from stopping start-up.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_map_drive d
if [ "$VT_PROGRAM" = win64 ]; then kind=win64; else kind=win32; fi
archive=volume-tarrow-1.0-$kind.zip
release=$(bed_unix_path 'c:\release')

bed_case "release: the archive holds the program and README.txt with CR LF line ends"
# CPack with the build's own configuration, into this file's scratch directory.
cpack --config "$VT_BUILD/CPackConfig.cmake" -B "$BED_DIR/package" >"$BED_DIR/cpack.log" 2>&1 ||
    { cat "$BED_DIR/cpack.log" >&2; bed_fail "cpack failed"; }
python3 - "$BED_DIR/package/$archive" "$VT_BUILD/volume-tarrow.exe" "$release" >"$BED_DIR/archive.txt" 2>&1 <<'EOF' ||
import sys, zipfile
archive, program, release = sys.argv[1:]
with zipfile.ZipFile(archive) as z:
    print("entries:", " ".join(z.namelist()))
    guide = z.read("README.txt")
    print("program as built:", z.read("volume-tarrow.exe") == open(program, "rb").read())
    z.extractall(release)
lines = guide.split(b"\r\n")
print("guide ends in CR LF:", guide.endswith(b"\r\n"))
print("bare CR or LF in the guide:", any(b"\r" in l or b"\n" in l for l in lines))
print("first line:", lines[0].decode())
for fact in (rb"C:\Volume Dateienverzeichnis.txt", b"VirtualStore", b"Semicolon", b"1252", b"header row",
             b"does not answer", b"daylight-saving", b"$Recycle.Bin", b"File not open"):
    print("mentions", fact.decode(), fact in guide)
EOF
    bed_fail "python3 could not read $archive"
bed_expect_file "$BED_DIR/archive.txt" <<'EOF'
entries: volume-tarrow.exe README.txt
program as built: True
guide ends in CR LF: True
bare CR or LF in the guide: False
first line: Volume Tarrow 1.0 for Windows
mentions C:\Volume Dateienverzeichnis.txt True
mentions VirtualStore True
mentions Semicolon True
mentions 1252 True
mentions header row True
mentions does not answer True
mentions daylight-saving True
mentions $Recycle.Bin True
mentions File not open True
EOF

bed_case "release: version resource, and a manifest that requests no execution level"
# Without a requested execution level, Windows Vista and later virtualise the
# 32-bit program's file access: a standard user's listing file in the root of
# C: goes to the user's VirtualStore folder. With one, it could not be created
# there and the program would end with "File not open". The manifest holds
# its identity and nothing else (shell/manifest_win32.rc says why it is there).
bed_run version_probe.exe 'c:\release\volume-tarrow.exe'
bed_expect_exit 0
# What version_probe shows of it, as of the program linked the MSYS2 way (msys2_link).
bed_expect_file "$BED_OUT" <"$VT_ROOT/tests/wine/cases/program_resources.txt"

bed_case "release: critical-error boxes are off while the drives are probed, other bits kept"
bed_install volume-tarrow.exe >/dev/null
bed_install error_mode.dll >/dev/null
# Read from inside the running program. SEM_FAILCRITICALERRORS is 0x0001.
bed_run e2e_driver.exe start error-mode send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
error mode: 0x0001
exit code: 0
EOF
# Windows passes a starter's error mode on to the program (Wine does not):
# SEM_NOGPFAULTERRORBOX (0x0002), SEM_NOALIGNMENTFAULTEXCEPT (0x0004) and
# SEM_NOOPENFILEERRORBOX (0x8000) stay as they were.
bed_run error_mode_probe.exe 0 1 2 8004 8007
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
0x0000 becomes 0x0001
0x0001 becomes 0x0001
0x0002 becomes 0x0003
0x8004 becomes 0x8005
0x8007 becomes 0x8007
EOF
