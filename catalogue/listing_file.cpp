// The drive command: open the listing file for appending, walk the drive,
// close the file.
#include "catalogue/listing_file.h"

#include <string_view>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "shell/status_line.h"

TextFile ListingFile;

namespace {

constexpr uint8_t kFileNotFound = 2;

// What a listing cut off inside a line (by a full disk, a crash, a power cut:
// only whole buffers reach the disk) needs before the next drive's first line,
// so that the fragment does not run into it and swallow it: the rest of its
// line end. The old bytes are never touched.
std::string_view CompletedLineEnd(const char *end, int length) {
    if (length == 0) return {};
    if (length == 2 && end[0] == '\r' && end[1] == '\n') return {};
    if (end[length - 1] == '\r') return "\n";
    return "\r\n";
}

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
        char end[2];
        int endLength = ReadLastBytes(ListingFile, end, 2);
        Close(ListingFile);
        OpenForAppending(ListingFile);
        std::string_view lineEnd = CompletedLineEnd(end, endLength);
        if (!lineEnd.empty()) WriteText(ListingFile, lineEnd);
    }
    // Clears what opening left pending (a failed Create or OpenForAppending,
    // the Close of a file that never opened, or the line end then written to
    // it); the file then stays closed.
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
