# The program linked as the README's Windows recipe links it: MSYS2's GCC
# links a default manifest object, default-manifest.o, into every program
# (its link command takes the file from the compiler's own directories when it
# is there), and that manifest requests the execution level asInvoker. A
# program with a requested execution level gets no UAC file virtualization:
# a standard user's listing file in the root of C: could not be created and
# every drive command would end with "File not open". Here a stand-in for
# that object, made by the toolchain's windres from such a manifest, is put
# where GCC looks for it (-B), and the program's own link command is run
# again. The 32-bit program is only inspected (this host may run no 32-bit
# code); the build under test is also run.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_locale de_DE.UTF-8 dd.MM.yyyy HH:mm:ss
bed_map_drive d
mkdir -p "$WINEPREFIX/drive_c/msys2"

# The 32-bit program's build: the one under test, or the one scripts/test
# always makes beside it.
if [ "$VT_PROGRAM" = win32 ]; then
    win32_build=$VT_BUILD
else
    win32_build=$VT_ROOT/build/win32
fi

# stand_in_manifest DIR WINDRES: DIR/default-manifest.o, language neutral as
# the toolchain's is.
stand_in_manifest() {
    cat >"$1/default-manifest.rc" <<'EOF'
LANGUAGE 0, 0
1 24
BEGIN
  "<?xml version=""1.0"" encoding=""UTF-8"" standalone=""yes""?>\n"
  "<assembly xmlns=""urn:schemas-microsoft-com:asm.v1"" manifestVersion=""1.0"">\n"
  "  <trustInfo xmlns=""urn:schemas-microsoft-com:asm.v3"">\n"
  "    <security>\n"
  "      <requestedPrivileges>\n"
  "        <requestedExecutionLevel level=""asInvoker""/>\n"
  "      </requestedPrivileges>\n"
  "    </security>\n"
  "  </trustInfo>\n"
  "</assembly>\n"
END
EOF
    "$2" -O coff -o "$1/default-manifest.o" "$1/default-manifest.rc"
}

stand_in_text() {
    cat <<'EOF'
manifest #1, language 0000: requests an execution level
| <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
| <assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
|   <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
|     <security>
|       <requestedPrivileges>
|         <requestedExecutionLevel level="asInvoker"/>
|       </requestedPrivileges>
|     </security>
|   </trustInfo>
| </assembly>
activation context from manifest #1: made
EOF
}

# msys2_link BUILD NAME: links BUILD's program again with BUILD's own link
# command (CMake's link.txt, run in BUILD) and the stand-in beside the
# compiler, into c:\msys2\NAME. Prints the compiler; the linker's messages
# go to $BED_DIR/NAME.log.
msys2_link() {
    local build=$1 name=$2 line compiler lib
    local -a command=()
    line=$(grep -e ' -o volume-tarrow.exe ' "$build/CMakeFiles/volume-tarrow.dir/link.txt")
    eval "set -- $line"
    compiler=$1
    lib=$BED_DIR/lib-$(basename "$compiler")
    mkdir -p "$lib"
    [ -f "$lib/default-manifest.o" ] || stand_in_manifest "$lib" "${compiler%g++}windres"
    while [ $# -gt 0 ]; do
        case $1 in
            -o) command+=(-o "$WINEPREFIX/drive_c/msys2/$name"); shift 2 ;;
            -Wl,--out-implib,*) shift ;;
            *) command+=("$1"); shift ;;
        esac
    done
    # GCC takes -B as a prefix: the directory needs its slash.
    (cd "$build" && "${command[@]}" -B "$lib/") >"$BED_DIR/$name.log" 2>&1 ||
        { cat "$BED_DIR/$name.log" >&2; bed_fail "the link of $name failed"; }
    LINK_COMPILER=$compiler
}

# The version resource the release program carries, and its own manifest:
# the stand-in is gone, and nothing in the program's manifest asks for more
# than a program without one gets.
expect_program_resources() {
    bed_run version_probe.exe "c:\\msys2\\$1"
    bed_expect_exit 0
    bed_expect_file "$BED_OUT" <"$VT_ROOT/tests/wine/cases/program_resources.txt"
    [ ! -s "$BED_DIR/$1.log" ] || { bed_fail "the linker said:"; cat "$BED_DIR/$1.log" >&2; }
}

bed_case "msys2 link: the 32-bit program keeps its own manifest, which requests no execution level"
if [ -f "$win32_build/CMakeFiles/volume-tarrow.dir/link.txt" ]; then
    msys2_link "$win32_build" volume-tarrow-win32.exe
    compiler32=$LINK_COMPILER
    expect_program_resources volume-tarrow-win32.exe
else
    bed_fail "no 32-bit build in $win32_build (cmake --preset win32 && cmake --build --preset win32)"
fi

bed_case "msys2 link: a program without a manifest of its own gets the stand-in"
# Shows that the stand-in is where GCC takes it from, so the case above
# tested something.
if [ -n "${compiler32:-}" ]; then
    printf 'int main() { return 0; }\n' >"$BED_DIR/bare.cpp"
    "$compiler32" -B "$BED_DIR/lib-$(basename "$compiler32")/" -o "$WINEPREFIX/drive_c/msys2/bare.exe" \
        "$BED_DIR/bare.cpp" || bed_fail "the bare program did not link"
    bed_run version_probe.exe 'c:\msys2\bare.exe'
    bed_expect_exit 0
    { echo "version resource: none"; stand_in_text; } | bed_expect_file "$BED_OUT"
else
    bed_fail "no 32-bit compiler: the case above found no build"
fi

if [ "$VT_PROGRAM" = win64 ]; then
    bed_case "msys2 link: the 64-bit twin likewise"
    msys2_link "$VT_BUILD" volume-tarrow.exe
    expect_program_resources volume-tarrow.exe
else
    cp "$WINEPREFIX/drive_c/msys2/volume-tarrow-win32.exe" "$WINEPREFIX/drive_c/msys2/volume-tarrow.exe"
fi

bed_case "msys2 link: the program so linked starts and lists a drive"
printf 'la la la' >"$(bed_drive_root d)/song.mp3"
touch -d '2003-05-17 14:32:10 UTC' "$(bed_drive_root d)/song.mp3"
bed_install volume-tarrow.exe >/dev/null
cp "$WINEPREFIX/drive_c/msys2/volume-tarrow.exe" "$WINEPREFIX/drive_c/bed/volume-tarrow.exe"
bed_run e2e_driver.exe start send 104 send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
exit code: 0
EOF
bed_expect_file 'c:\Volume Dateienverzeichnis.txt' --crlf <<'EOF'
D:;;44000000;\;song.mp3;mp3;0;kB;17.05.2003 14:32
EOF
