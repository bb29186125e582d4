// The drive command: open the listing file for appending, walk the drive,
// close the file.
#include "catalogue/listing_file.h"

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "shell/status_line.h"

TextFile ListingFile;

namespace {

constexpr uint8_t kFileNotFound = 2;

} // namespace

void WriteDriveListing(int commandId) {
    Bind(ListingFile, kListingFilePath);

    // Opening for reading only tells whether the file is there. Failures of the
    // opens are deliberately not checked here: they leave the file closed, and
    // the first line's check (or the final one) reports "File not open".
    OpenForReading(ListingFile);
    uint8_t OpenResult = static_cast<uint8_t>(QueryResult());
    if (OpenResult == kFileNotFound) {
        Create(ListingFile);
    } else {
        Close(ListingFile);
        OpenForAppending(ListingFile);
    }
    // Clears what opening left pending (a failed Create or OpenForAppending,
    // or the Close of a file that never opened); the file then stays closed.
    QueryResult();

    int position = commandId - 100;
    char letter = position >= 1 && position <= kDrivePositions && !DriveTable[position].Letter.empty()
                      ? DriveTable[position].Letter.chars[0]
                      : '\\';
    CurrentDrive[0] = letter;
    CurrentDrive[1] = ':';
    CurrentDir = "\\";

    BeginProgress();
    WalkDirectory(NewWalkNode(nullptr));
    EndProgress();

    Close(ListingFile);
    Check();
}
