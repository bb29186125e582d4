// The table of the 26 drive letters, probed once at start-up. An absent drive
// is marked with a backslash as its letter and has empty fields.
#pragma once

#include <cstdint>

#include "common/string255.h"

struct DriveRecord {
    String255 Letter;     // "C", or "\" for an absent drive
    String255 Label;
    String255 Serial;     // eight upper-case hex digits, high half first
    String255 FileSystem;
};

constexpr int kDrivePositions = 26;

// Positions 1 to 26 stand for A to Z; element 0 is unused.
extern DriveRecord DriveTable[kDrivePositions + 1];
extern int32_t DriveCount;

void ScanDrives();

// Both return false, and leave their outputs empty, when the probe fails.
bool ProbeVolumeSerial(char letter, String255 &serial);
bool ProbeVolumeLabel(char letter, String255 &label, String255 &fileSystem);
