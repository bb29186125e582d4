// The directory walk: search records, walk nodes, the locale's date and time
// settings and the per-file listing step.
#include "catalogue/directory_walk.h"

#include <cstring>
#include <utility>

#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/listing_line.h"
#include "catalogue/text_file.h"
#include "shell/status_line.h"

DateTimeSettings ListingDateTime;
char CurrentDrive[3] = {'\\', ':', '\0'};
String255 CurrentDir;

namespace {

// GetLocaleInfoA value types.
constexpr uint32_t kLocaleDateSeparator = 0x1D;  // LOCALE_SDATE
constexpr uint32_t kLocaleTimeSeparator = 0x1E;  // LOCALE_STIME
constexpr uint32_t kLocaleDateOrder = 0x21;      // LOCALE_IDATE
constexpr uint32_t kLocaleHourLeadingZero = 0x25; // LOCALE_ITLZERO

// The attributes a search can exclude at all; the rest are always delivered.
constexpr uint32_t kExcludableAttributes = 0x1E;

// Local FILETIMEs of 1980-01-01 and 2108-01-01: the range the packed form
// holds. Wine's FileTimeToDosDateTime wraps the year from 2108 on instead of
// failing, so the range is checked here before the packed form is trusted.
constexpr uint64_t kFirstPackedTime = 119600064000000000ULL;
constexpr uint64_t kEndOfPackedTimes = 159992928000000000ULL;

int32_t liveNodes = 0;

// Composed here and written before the walk goes deeper, so one buffer serves every level.
char lineBuffer[kListingLineCapacity];

char LocaleSeparator(uint32_t type, char fallback) {
    char value[80];
    if (!platform::LocaleValue(type, value, sizeof value)) return fallback;
    return value[0] != '\0' && value[1] == '\0' ? value[0] : fallback;
}

// A whole decimal number, an optional minus and digits only; 0 otherwise.
int LocaleNumber(uint32_t type) {
    char value[80];
    if (!platform::LocaleValue(type, value, sizeof value)) return 0;
    value[sizeof value - 1] = '\0';
    const char *c = value;
    bool negative = *c == '-';
    if (negative) ++c;
    if (*c == '\0') return 0;
    int64_t number = 0;
    for (; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return 0;
        number = number * 10 + (*c - '0');
        if (number > INT32_MAX) return 0;
    }
    return static_cast<int>(negative ? -number : number);
}

uint64_t LocalTimeOf(uint64_t utcFileTime) {
    uint64_t local;
    if (platform::LocalFileTime(utcFileTime, local)) return local;
    // Only times at the very ends of the FILETIME range fail; the entry's own
    // time is still a better text than none.
    return utcFileTime;
}

uint32_t PackedLocalTime(uint64_t utcFileTime) {
    uint64_t local = LocalTimeOf(utcFileTime);
    if (local < kFirstPackedTime || local >= kEndOfPackedTimes) return kNoPackedTime;
    uint16_t date, time;
    if (!platform::DosDateTime(local, date, time)) return kNoPackedTime;
    return static_cast<uint32_t>(date) << 16 | time;
}

void TakeEntry(TSEARCHREC &search) {
    const platform::FindEntry &data = search.FindData;
    search.EntryAttributes = data.attributes;
    search.EntrySize = data.size;
    search.EntryName.assign(data.name, strnlen(data.name, sizeof data.name));
    search.EntryTime = PackedLocalTime(data.lastWriteTime);
}

bool Excluded(const TSEARCHREC &search) { return (search.FindData.attributes & search.ExcludeMask) != 0; }

// Junctions, mount points and symbolic links lead elsewhere in the tree (or
// back up it); entering them could loop. Their reparse tags carry the
// name-surrogate bit. A tag of zero is not a tag Windows gives out: it is what
// Wine reports for a unix directory symlink (Wine never fills the tag in), so
// it counts as a link too. Every other reparse point stands for its own
// contents (cloud placeholders, deduplicated or compressed directories) and
// is entered.
bool IsLink(const TSEARCHREC &search) {
    if ((search.EntryAttributes & platform::kAttributeReparsePoint) == 0) return false;
    uint32_t tag = search.FindData.reparseTag;
    return tag == 0 || (tag & platform::kReparseTagNameSurrogate) != 0;
}

void ListFile(const TSEARCHREC &search) {
    String255 path(std::string_view(CurrentDrive, 2));
    path += CurrentDir;
    path += search.EntryName;
    ShowProgress(path);

    // Only letters A to Z ever find entries; anything else has no label.
    int position = CurrentDrive[0] - 64;
    const DriveRecord *drive = position >= 1 && position <= kDrivePositions ? &DriveTable[position] : nullptr;
    ListingLineFields fields;
    fields.drive = std::string_view(CurrentDrive, 2);
    fields.label = drive != nullptr ? drive->Label.view() : std::string_view();
    fields.serial = drive != nullptr ? drive->Serial.view() : std::string_view();
    fields.directory = CurrentDir.view();
    fields.name = search.EntryName;
    fields.size = search.EntrySize;
    fields.when = EntryDateTime(search);
    int length = ComposeListingLine(lineBuffer, fields, ListingDateTime);
    WriteText(ListingFile, std::string_view(lineBuffer, static_cast<size_t>(length)));
    EndLine(ListingFile);
    Check();
}

} // namespace

void ReadDateTimeSettings() {
    ListingDateTime.dateSeparator = LocaleSeparator(kLocaleDateSeparator, '/');
    ListingDateTime.dateOrder = LocaleNumber(kLocaleDateOrder);
    ListingDateTime.timeSeparator = LocaleSeparator(kLocaleTimeSeparator, ':');
    ListingDateTime.hourLeadingZero = LocaleNumber(kLocaleHourLeadingZero);
}

INFOLISTE *NewWalkNode(INFOLISTE *link) {
    INFOLISTE *node = new INFOLISTE{};
    node->Link = link;
    // Room for the longest name, so that taking each entry's name allocates nothing.
    node->Search.EntryName.reserve(sizeof node->Search.FindData.name);
    liveNodes++;
    return node;
}

void ReleaseWalkNode(INFOLISTE *node) {
    delete node;
    liveNodes--;
}

int32_t LiveWalkNodes() { return liveNodes; }

bool FindFirstEntry(const char *pattern, uint32_t attributeMask, TSEARCHREC &search) {
    search.ExcludeMask = ~attributeMask & kExcludableAttributes;
    search.SearchHandle = platform::FindFirst(pattern, search.FindData);
    if (search.SearchHandle == nullptr) return false;
    if (Excluded(search)) return FindNextEntry(search);
    TakeEntry(search);
    return true;
}

bool FindNextEntry(TSEARCHREC &search) {
    do {
        if (!platform::FindNext(search.SearchHandle, search.FindData)) return false;
    } while (Excluded(search));
    TakeEntry(search);
    return true;
}

void FindCloseEntry(TSEARCHREC &search) {
    platform::FindClose(search.SearchHandle);
    search.SearchHandle = nullptr;
}

DateTime EntryDateTime(const TSEARCHREC &search) {
    if (search.EntryTime != kNoPackedTime)
        return DateTimeFromDos(static_cast<uint16_t>(search.EntryTime >> 16), static_cast<uint16_t>(search.EntryTime));
    return DateTimeFromFileTime(LocalTimeOf(search.FindData.lastWriteTime));
}

namespace {

// A name with one of these cannot name its own directory in a path: a
// backslash or slash would lead into another directory, a wildcard (also the
// "?" that stands for a character the ANSI code page cannot hold) could match
// another one. Unix file systems allow them all.
bool AddressableName(const std::string &name) {
    return name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

} // namespace

bool EntersDirectory(const TSEARCHREC &search) {
    const std::string &name = search.EntryName;
    if (name.empty() || name[0] == '.') return false;
    if (name == "Recycled") return false;
    if (IsLink(search)) return false;
    if (!AddressableName(name)) return false;
    // Deeper than this, CurrentDir could no longer name the directory being walked.
    return CurrentDir.length + name.size() + 1 <= String255::kCapacity;
}

namespace {

// Windows compares names without letter case: ASCII and the letters of the
// Western code page.
char FoldCase(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 32);
    switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
    }
}

} // namespace

bool FirstOfItsName(INFOLISTE &node, const std::string &name) {
    std::string folded(name);
    for (char &c : folded) c = FoldCase(c);
    return node.EnteredNames.insert(std::move(folded)).second;
}

void WalkDirectory(INFOLISTE *node) {
    TSEARCHREC &search = node->Search;
    // Drive, a CurrentDir of at most 255 characters, "*.*" and the zero.
    char pattern[2 + String255::kCapacity + 3 + 1];
    std::memcpy(pattern, CurrentDrive, 2);
    std::memcpy(pattern + 2, CurrentDir.chars, CurrentDir.length);
    std::memcpy(pattern + 2 + CurrentDir.length, "*.*", 4);

    if (FindFirstEntry(pattern, kWalkAttributeMask, search)) {
        do {
            if ((search.EntryAttributes & platform::kAttributeDirectory) == 0) {
                ListFile(search);
            } else if (EntersDirectory(search) && FirstOfItsName(*node, search.EntryName)) {
                CurrentDir += search.EntryName;
                CurrentDir += '\\';
                WalkDirectory(NewWalkNode(node));
            }
        } while (FindNextEntry(search));
    }
    FindCloseEntry(search);
    ReleaseWalkNode(node);

    // Strip this level's own name and backslash, back to the enclosing
    // level's path (which ends in the last backslash before the name).
    if (!(CurrentDir == std::string_view("\\"))) {
        int length = CurrentDir.length - 1;
        while (length > 0 && CurrentDir.chars[length - 1] != '\\') --length;
        CurrentDir.Truncate(length);
    }
}
