#include "catalogue/drive_table.h"

#include "common/number_text.h"
#include "platform/platform.h"

DriveRecord DriveTable[kDrivePositions + 1];
int32_t DriveCount = 0;

namespace {

bool Probe(char letter, platform::VolumeInfo &info) {
    char rootPath[4] = {letter, ':', '\\', '\0'};
    return platform::QueryVolume(rootPath, info);
}

} // namespace

bool ProbeVolumeSerial(char letter, String255 &serial) {
    platform::VolumeInfo info;
    serial = "";
    if (!Probe(letter, info)) return false;
    char digits[8];
    PutHex(digits, info.serial >> 16, 4);
    PutHex(digits + 4, info.serial & 0xFFFF, 4);
    serial = std::string_view(digits, 8);
    return true;
}

bool ProbeVolumeLabel(char letter, String255 &label, String255 &fileSystem) {
    platform::VolumeInfo info;
    label = "";
    fileSystem = "";
    if (!Probe(letter, info)) return false;
    info.label[259] = '\0';
    info.fileSystem[259] = '\0';
    label = info.label;
    fileSystem = info.fileSystem;
    return true;
}

void ScanDrives() {
    // A drive is absent exactly when a probe of it fails. Both probes are
    // still made, in the original order, so that a drive that answers one
    // and not the other counts as absent too.
    DriveCount = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        DriveCount++;
        DriveRecord &entry = DriveTable[DriveCount];
        bool serialOk = ProbeVolumeSerial(letter, entry.Serial);
        entry.Letter = std::string_view(&letter, 1);
        bool labelOk = ProbeVolumeLabel(letter, entry.Label, entry.FileSystem);
        if (!serialOk || !labelOk) {
            entry.Letter = "\\";
            entry.Label = "";
            entry.Serial = "";
            entry.FileSystem = "";
        }
    }
}
