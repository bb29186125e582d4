# The drive table as the start-up scan fills it under Wine, with exactly two
# drives: the prefix's own C: and a labelled D:.
source "$(dirname "$0")/../bed.sh"

bed_prefix
bed_map_drive d MUSIC 00c0ffee
bed_run scan_drives_probe.exe 'c:\drives.txt'
bed_expect_exit 0
# C: is the prefix's drive_c: Wine gives it no label and the serial of its
# letter code ('C' = 0x43) in the high byte.
bed_expect_file 'c:\drives.txt' <<'TABLE'
01|\|||
02|\|||
03|C||43000000|NTFS
04|D|MUSIC|00C0FFEE|NTFS
05|\|||
06|\|||
07|\|||
08|\|||
09|\|||
10|\|||
11|\|||
12|\|||
13|\|||
14|\|||
15|\|||
16|\|||
17|\|||
18|\|||
19|\|||
20|\|||
21|\|||
22|\|||
23|\|||
24|\|||
25|\|||
26|\|||
DriveCount=26
TABLE
