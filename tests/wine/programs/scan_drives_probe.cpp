// Runs the start-up drive scan under Wine and writes the resulting table to
// the file named by the first argument, one line per position:
//   <position>|<Letter>|<Label>|<Serial>|<FileSystem>
// followed by a last line with DriveCount. The fields are written as the
// table holds them, so a test compares the file byte for byte.
#include <cstdio>

#include "catalogue/drive_table.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scan_drives_probe OUTPUT-FILE\n");
        return 2;
    }
    ScanDrives();
    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "scan_drives_probe: cannot create %s\n", argv[1]);
        return 3;
    }
    for (int p = 1; p <= kDrivePositions; ++p) {
        const DriveRecord &entry = DriveTable[p];
        std::fprintf(out, "%02d|%.*s|%.*s|%.*s|%.*s\n", p,
                     int(entry.Letter.view().size()), entry.Letter.view().data(),
                     int(entry.Label.view().size()), entry.Label.view().data(),
                     int(entry.Serial.view().size()), entry.Serial.view().data(),
                     int(entry.FileSystem.view().size()), entry.FileSystem.view().data());
    }
    std::fprintf(out, "DriveCount=%d\n", int(DriveCount));
    return std::fclose(out) == 0 ? 0 : 4;
}
