# The real program's window as a user meets it, driven from a second program
# (e2e_driver.exe): class and title, both menus, the status bar, the help
# boxes, showing, resizing and the two ways to close it. Drives C: and D:
# only. Also saves a screenshot with the "&Files" menu open.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_map_drive d
bed_install volume-tarrow.exe >/dev/null
bed_install menu_reader.dll >/dev/null
listing=$(bed_unix_path 'c:\Volume Dateienverzeichnis.txt')

bed_case "e2e window: class, title and status bar after start-up"
bed_run e2e_driver.exe start window status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
class: Tarrow
title: "Volume Tarrowv1.0"
found by class and title: yes
overlapped window: yes
visible: yes
status bar: msctls_statusbar32, child id 0x7712, visible
status: "Ready..."
exit code: 0
EOF

bed_case "e2e window: class fields and both menus item by item"
bed_run e2e_driver.exe start inspect send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
class Tarrow
  style 0x3
  extra bytes 0 class, 0 window
  icon IDI_APPLICATION
  cursor IDC_ARROW
  background GRAY_BRUSH
  menu name Files
  instance the program's module
menu bar: 2 pop-ups
&Files: 28 items
  101 \
  102 \
  103 C
  104 D
  105 \
  106 \
  107 \
  108 \
  109 \
  110 \
  111 \
  112 \
  113 \
  114 \
  115 \
  116 \
  117 \
  118 \
  119 \
  120 \
  121 \
  122 \
  123 \
  124 \
  125 \
  126 \
  separator
  100 E&xit
&Help: 3 items
  901 &Index
  separator
  904 &about...
exit code: 0
EOF

bed_case "e2e window: Index and about boxes"
bed_run e2e_driver.exe start post 901 box post 904 box alive status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
box caption: "Edit operation not implemented"
box text: "Index"
box owner: the main window
box caption: "about Brindlecast ..."
box text: "Volume Tarrow\n\r\rv1.0\n\rVolume Tarrow developers, 2026\n\rhttps://volume-tarrow.example/\n\r\r\r"
box owner: the main window
window: open
status: "Ready..."
exit code: 0
EOF

bed_case "e2e window: items K to Z do nothing"
args=(start)
for id in $(seq 111 126); do args+=(send "$id"); done
bed_run e2e_driver.exe "${args[@]}" alive status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
window: open
status: "Ready..."
exit code: 0
EOF
[ ! -e "$listing" ] || bed_fail "the K to Z items wrote a listing file"

bed_case "e2e window: E&xit ends the program with exit code 0"
bed_run e2e_driver.exe start send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
exit code: 0
EOF

bed_case "e2e window: the close box ends the program with exit code 0"
bed_run e2e_driver.exe start close-box wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
exit code: 0
EOF

bed_case "e2e window: start-up show value SW_HIDE still shows the window"
bed_run e2e_driver.exe start hidden window send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
class: Tarrow
title: "Volume Tarrowv1.0"
found by class and title: yes
overlapped window: yes
visible: yes
status bar: msctls_statusbar32, child id 0x7712, visible
exit code: 0
EOF

bed_case "e2e window: resizing keeps the status bar on the bottom edge"
bed_run e2e_driver.exe start resize 420 260 resize 900 700 resize 300 500 status send 100 wait-exit
bed_expect_exit 0
bed_expect_file "$BED_OUT" <<'EOF'
resize 420x260: window 420x260, status bar along the client area's bottom edge at full width
resize 900x700: window 900x700, status bar along the client area's bottom edge at full width
resize 300x500: window 300x500, status bar along the client area's bottom edge at full width
status: "Ready..."
exit code: 0
EOF

bed_case "e2e window: screenshot with the Files menu open"
artefacts=$VT_BUILD/wine-artefacts
shot=$artefacts/e2e-files-menu.png
mkdir -p "$artefacts"
rm -f "$shot"
bed_start volume-tarrow.exe
product=$BED_PID
# The status bar comes last in start-up; its text shows once it has painted.
timeout 30 xdotool search --sync --name '^Volume Tarrowv1\.0$' >/dev/null ||
    bed_fail "no window titled Volume Tarrowv1.0"
sleep 0.5
xdotool key alt+f
sleep 0.5
import -window root "$shot"
xdotool key Escape Escape
sleep 0.2
xdotool key alt+F4
for _ in $(seq 100); do
    kill -0 "$product" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$product" 2>/dev/null; then
    bed_fail "alt+F4 did not end the program within 10 s"
    "$VT_WINESERVER" -k >/dev/null 2>&1 || true
    bed_wait "$product"
else
    bed_wait "$product"
    bed_expect_exit 0
fi
if [ -s "$shot" ]; then
    echo "screenshot: $shot"
    # The class brush fills the client area.
    centre=$(convert "$shot" -format '%[pixel:p{600,300}]' info:)
    [[ $centre =~ ^(gray|grey)\(128\)$|^s?rgb\(128,128,128\)$ ]] ||
        bed_fail "client area colour $centre, expected the grey brush (128,128,128)"
else
    bed_fail "no screenshot saved"
fi
