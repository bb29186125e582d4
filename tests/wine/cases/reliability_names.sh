# Hostile names end to end: a drive full of names with ";", quotes, spaces,
# dots, line breaks, characters the ANSI code page cannot hold, names and
# directories at the 255-character limits, a symlink loop and an unreadable
# directory, listed by the real program. Every line must read back, as a
# semicolon-separated table honouring double quotes, into nine fields that
# match a file of the drive; no file may be lost or listed twice, and no
# directory may be walked under another directory's name.
source "$(dirname "$0")/../bed.sh"

# Root may read any directory; without the two override capabilities Wine
# (its server opens the files) sees the unreadable directory as a user would.
caps_dropped=0
if [ "$(id -u)" = 0 ] && setpriv --bounding-set -dac_override,-dac_read_search true 2>/dev/null; then
    for tool in wine wineserver; do
        real=$([ $tool = wine ] && echo "$VT_WINE" || echo "$VT_WINESERVER")
        printf '#!/bin/sh\nexec setpriv --bounding-set -dac_override,-dac_read_search %s "$@"\n' "$real" \
            >"$BED_DIR/$tool"
        chmod +x "$BED_DIR/$tool"
    done
    VT_WINE=$BED_DIR/wine
    VT_WINESERVER=$BED_DIR/wineserver
    export WINESERVER=$VT_WINESERVER
    caps_dropped=1
elif [ "$(id -u)" != 0 ]; then
    caps_dropped=1
fi

bed_prefix
label_d='Data;"Q"'
label_e='Unix "names"'
bed_map_drive d "$label_d" 1234abcd
bed_map_drive e "$label_e" 0000beef
d=$(bed_drive_root d)
e=$(bed_drive_root e)
bed_install volume-tarrow.exe >/dev/null
listing=$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')

# make D-ROOT E-ROOT UNREADABLE builds both trees; check DRIVE ROOT LISTING
# LABEL SERIAL reads a listing and prints "FAIL <part>: <why>" lines for what
# does not hold.
names_py() {
    python3 - "$@" <<'EOF'
import csv
import datetime
import io
import os
import stat
import sys

WHEN = datetime.datetime(2003, 5, 17, 14, 32, 10, tzinfo=datetime.timezone.utc)
MIDNIGHT = datetime.datetime(2010, 1, 2, 0, 0, 0, tzinfo=datetime.timezone.utc)

# The ANSI text (code page 1252) of names the page cannot hold, as recorded
# from Wine 8: best-fit letters, "?" for each UTF-16 unit without one, "?" for
# each byte that is not UTF-8.
LOSSY = {
    "ΩOmega.txt".encode(): b"OOmega.txt",
    "Ānna.txt".encode(): b"Anna.txt",
    "emoji😀.txt".encode(): b"emoji??.txt",
    b"\xe9t\xe9.txt": b"?t?.txt",
    "Ωdir".encode(): b"Odir",
    "Ādir".encode(): b"Adir",
    b"lat\xe9dir": b"lat?dir",
}

# Names Windows itself can hold, and names only a unix file system can.
WINDOWS_FILES = [
    "semi;colon.txt", "x.t;xt", "a b c.txt", "several.dots.in.name.txt", "..leading.txt", ".profile",
    "trailing space ", "trailing dot.", " leading space.txt", "naïve.txt", "Anna.txt", "ΩOmega.txt", "Ānna.txt",
    "emoji😀.txt", "n" * 251 + ".txt",
]
UNIX_FILES = [
    'with "quote".txt', '"quoted"', "tab\there.txt", "new\nline.txt", "car\rret.txt", "star*.txt",
    "back\\slash.txt", "co:lon.txt", "pipe|.txt", b"\xe9t\xe9.txt",
]
# Directories, each holding one file named after it.
WINDOWS_DIRECTORIES = [
    "Songs", "semi;dir", "sp dir ", " lead dir", "dotdir.", "Adir", "Ādir", "Odir", "Ωdir", "naïvedir",
    ".hidden dir", "Recycled", "Songs/RECYCLED", "Songs/Live", "d" * 255,
]
UNIX_DIRECTORIES = [
    'quo"te', "q?dir", "qXdir", "st*r", "sXar", "co:lon", "pipe|dir", "lt<gt>", "back\\slash", "back/slash",
    "tab\tdir", "new\ndir", b"lat\xe9dir",
]


def raw(name):
    return name if isinstance(name, bytes) else name.encode()


def touch(path, size):
    with open(path, "wb") as f:
        f.truncate(size)


def make_names(root, files, directories, sizes):
    for name in files:
        touch(os.path.join(root, raw(name)), next(sizes))
    for name in directories:
        path = os.path.join(root, raw(name))
        os.makedirs(path, exist_ok=True)
        # Named after the directory in plain letters: "in back_5Cslash.txt".
        plain = b"".join(bytes([c]) if chr(c).isascii() and (chr(c).isalnum() or c == 32) else b"_%02X" % c
                         for c in raw(name))
        inside = b"in " + plain[:40] + b".txt"
        touch(os.path.join(path, inside), next(sizes))
    stamp_all(root)


def stamp_all(root):
    for directory, _, files in os.walk(root):
        for name in files:
            path = os.path.join(directory, name)
            if not os.path.islink(path):
                stamp = (MIDNIGHT if name.startswith(b"in ") else WHEN).timestamp()
                os.utime(path, (stamp, stamp))


def make(windows_root, unix_root, unreadable):
    sizes = iter(range(511, 10**9, 2531))
    make_names(unix_root.encode(), UNIX_FILES, UNIX_DIRECTORIES, sizes)
    root = windows_root.encode()
    make_names(root, WINDOWS_FILES, WINDOWS_DIRECTORIES, sizes)
    # A directory whose path from the root is exactly 255 characters, with a
    # file and a 255-character name in it, and one level past it; a sibling
    # one character past the limit.
    edge = b"\\edge\\" + b"e" * 200 + b"\\"
    last = b"f" * (255 - len(edge) - 1)
    parts = [p for p in (edge + last).split(b"\\") if p]
    at_edge = os.path.join(root, *parts)
    os.makedirs(at_edge)
    touch(os.path.join(at_edge, b"at edge.txt"), next(sizes))
    touch(os.path.join(at_edge, b"m" * 251 + b".txt"), next(sizes))
    os.makedirs(os.path.join(at_edge, b"x"))
    touch(os.path.join(at_edge, b"x", b"past edge.txt"), next(sizes))
    past = os.path.join(os.path.dirname(at_edge), last + b"g")
    os.makedirs(past)
    touch(os.path.join(past, b"past edge.txt"), next(sizes))
    # A loop back to the root, a link to a file, a dangling link.
    os.makedirs(os.path.join(root, b"loop"))
    touch(os.path.join(root, b"loop", b"in loop.txt"), next(sizes))
    os.symlink(b"..", os.path.join(root, b"loop", b"up"))
    os.symlink(b"semi;colon.txt", os.path.join(root, b"link to file.txt"))
    os.symlink(b"nowhere", os.path.join(root, b"dangling.txt"))
    if unreadable == "1":
        os.makedirs(os.path.join(root, b"locked"))
        touch(os.path.join(root, b"locked", b"secret.txt"), next(sizes))
    stamp_all(root)
    if unreadable == "1":
        os.chmod(os.path.join(root, b"locked"), 0)


def windows_name(name):
    """The name as the listing shows it (bytes), and whether it is exact."""
    if name in LOSSY:
        return LOSSY[name], False
    try:
        return name.decode("utf-8").encode("cp1252"), True
    except (UnicodeDecodeError, UnicodeEncodeError):
        raise SystemExit("no recorded Windows name for %r: add it to LOSSY" % name)


def enterable(name, current_dir):
    """Whether the walk must enter, may enter, or must not enter a directory."""
    if name.startswith(b".") or name == b"Recycled" or len(current_dir) + len(name) + 1 > 255:
        return "never"
    if any(c in name for c in b'\\/:*?"<>|') or any(c < 32 for c in name):
        return "maybe"
    return "must"


def utf8(name):
    """Whether a unix name is UTF-8: then Wine gives it an exact wide name, by
    which the walk reaches it however its ANSI text reads."""
    try:
        name.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def extension(name):
    dot = name.rfind(b".")
    if dot < 0:
        return b""
    after = name[dot + 1:]
    return b"" if any(c in after for c in b"/\\:") else after


def kilobytes(size):
    whole, rest = divmod(size, 1024)
    return whole + (1 if rest > 512 or (rest == 512 and whole % 2) else 0)


def when_text(mtime):
    t = datetime.datetime.fromtimestamp(int(mtime) // 2 * 2, datetime.timezone.utc)
    text = "%02d/%02d/%04d" % (t.month, t.day, t.year)
    if (t.hour, t.minute, t.second) != (0, 0, 0):
        text += " %d:%02d" % (t.hour, t.minute)
    return text.encode()


def expected_lines(drive, root, label, serial):
    """Lines that must appear once, and lines that may appear once."""
    must, maybe = [], []

    def walk(path, current_dir, certain):
        for entry in sorted(os.scandir(path), key=lambda e: e.name):
            name, exact = windows_name(entry.name)
            # A name the page cannot hold is still certain when it is UTF-8.
            certain_name = exact or utf8(entry.name)
            if entry.is_dir(follow_symlinks=False):
                if not certain_name:
                    verdict = "maybe" if enterable(name, current_dir) != "never" else "never"
                else:
                    verdict = enterable(name, current_dir)
                mode = entry.stat(follow_symlinks=False).st_mode
                if verdict == "never" or stat.S_IMODE(mode) == 0:
                    continue
                walk(entry.path, current_dir + name + b"\\", certain and verdict == "must")
            elif entry.is_symlink() and not entry.is_dir() and not os.path.exists(entry.path):
                continue  # dangling: Wine does not list it
            elif entry.is_symlink() and entry.is_dir():
                continue  # a directory link is not entered and is no file
            else:
                st = entry.stat()
                fields = [drive, label, serial, current_dir, name, extension(name),
                          str(kilobytes(st.st_size)).encode(), b"kB", when_text(st.st_mtime)]
                (must if certain and certain_name else maybe).append(tuple(f.decode("latin-1") for f in fields))

    walk(root, b"\\", True)
    return must, maybe


def field_text(field):
    if any(c in field for c in ';"\r\n'):
        return '"' + field.replace('"', '""') + '"'
    return field


def check(drive, root, listing, label, serial):
    data = open(listing, "rb").read().decode("latin-1")
    problems = []
    try:
        records = list(csv.reader(io.StringIO(data, newline=""), delimiter=";", quotechar='"', doublequote=True,
                                  strict=True))
    except csv.Error as error:
        problems.append("FAIL nine fields: the file does not read as a table: %s" % error)
        records = []
    for record in records:
        if len(record) != 9:
            problems.append("FAIL nine fields: %d fields: %r" % (len(record), record))
    rebuilt = "".join(";".join(field_text(f) for f in r) + "\r\n" for r in records)
    if rebuilt != data:
        problems.append("FAIL nine fields: the file is not exactly these records, each quoted only where needed "
                        "and ended by CR LF")
    must, maybe = expected_lines(drive.encode(), os.fsencode(root), label.encode(), serial.encode())
    pool_must, pool_maybe = list(must), list(maybe)
    for record in map(tuple, records):
        if record in pool_must:
            pool_must.remove(record)
        elif record in pool_maybe:
            pool_maybe.remove(record)
        elif len(record) == 9:
            problems.append("FAIL listed once: a line that matches no file, or a file listed twice: %r" % (record,))
    for record in pool_must:
        problems.append("FAIL every file listed: missing %r" % (record,))
    print("\n".join(problems) if problems else "all lines read back and match the drive")
    print("(%d lines; %d files must be listed, %d may be)" % (len(records), len(must), len(maybe)))


if sys.argv[1] == "make":
    make(*sys.argv[2:5])
else:
    check(*sys.argv[2:7])
EOF
}

names_py make "$d" "$e" "$caps_dropped"
trap 'status=$?; chmod -R u+rwx "$d" 2>/dev/null; (exit $status); bed_finish' EXIT

# Each drive is listed into a listing file of its own.
for drive in d e; do
    rm -f "$listing"
    bed_run e2e_driver.exe start send $([ $drive = d ] && echo 104 || echo 105) send 100 wait-exit
    [ "$BED_EXIT" = 0 ] || { echo "the program run for $drive: failed with $BED_EXIT" >&2; bed_show_output; }
    cp "$listing" "$BED_DIR/listing-$drive" 2>/dev/null || : >"$BED_DIR/listing-$drive"
done
names_py check D: "$d" "$BED_DIR/listing-d" "$label_d" 1234ABCD >"$BED_DIR/check-d"
names_py check E: "$e" "$BED_DIR/listing-e" "$label_e" 0000BEEF >"$BED_DIR/check-e"
cat "$BED_DIR/check-d" "$BED_DIR/check-e"

part() {
    local drive=$1 title=$2 key=$3
    bed_case "reliability names, $title: $4"
    if grep -q "^FAIL $key:" "$BED_DIR/check-$drive"; then
        bed_fail "$(grep "^FAIL $key:" "$BED_DIR/check-$drive" | head -n 20)"
    fi
}
for drive in d e; do
    title=$([ $drive = d ] && echo "names Windows holds" || echo "names only unix holds")
    part $drive "$title" "nine fields" "every line reads back as nine fields, and the file is just those lines"
    part $drive "$title" "every file listed" "every file the walk can reach is listed"
    part $drive "$title" "listed once" "no line without its file, no file twice, no directory walked as another"
done
[ "$caps_dropped" = 1 ] || echo "note: running as root without setpriv, the unreadable directory was left out" >&2
