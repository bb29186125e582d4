// Lists one drive to c:\Volume Dateienverzeichnis.txt as the "&Files" item
// of D: does, with the start-up steps the listing needs before it (the
// locale's date and time settings, the drive scan). There is no window, so
// the status texts go nowhere. The settings read go to stdout, so that a
// failing comparison shows what the locale gave.
//   listing_probe [COMMAND-ID]     (default 104, drive D:)
#include <cstdio>
#include <cstdlib>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"

int main(int argc, char **argv) {
    int commandId = argc > 1 ? std::atoi(argv[1]) : 100 + 4;
    ReadDateTimeSettings();
    std::printf("date separator '%c', date order %d, time separator '%c', hour leading zero %d\n",
                ListingDateTime.dateSeparator, ListingDateTime.dateOrder, ListingDateTime.timeSeparator,
                ListingDateTime.hourLeadingZero);
    std::fflush(stdout);
    ScanDrives();
    WriteDriveListing(commandId);
    return 0;
}
