// The listing file, c:\Volume Dateienverzeichnis.txt, and the drive command
// that appends one drive's complete listing to it.
#pragma once

#include "catalogue/text_file.h"

constexpr const char kListingFilePath[] = "c:\\Volume Dateienverzeichnis.txt";

// Open only while a drive command runs.
extern TextFile ListingFile;

// Lists the drive at DriveTable position commandId - 100 (the "&Files" menu
// item's identifier) to the end of the listing file, creating the file when it
// is missing. A file that cannot be opened is not reported at once: the first
// line's check, or the final one, ends the process with "File not open". A
// position outside 1 to 26 lists nothing, like an absent drive.
void WriteDriveListing(int commandId);
