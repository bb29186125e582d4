// The directory walk: search records, walk nodes, the locale's date and time
// settings and the per-file listing step.
#include "catalogue/directory_walk.h"

#include <cstring>
#include <string_view>

#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/listing_line.h"
#include "catalogue/text_file.h"
#include "shell/status_line.h"

DateTimeSettings ListingDateTime;
char CurrentDrive[3] = {'\\', ':', '\0'};
String255 CurrentDir;
char16_t CurrentWideDir[kWideDirCapacity];
int CurrentWideDirLength = 0;

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
// The head of a line (drive, label, serial, directory) is the same for every
// file of a directory: it stays in lineBuffer while the walk lists the files
// of one directory, and the walk marks it stale whenever CurrentDir changes.
bool headStale = true;
int headLength = 0;
// The status bar's path, CurrentDrive + CurrentDir + name, kept the same way:
// its directory part is composed with the head, and each file puts its name after it.
String255 progressPath;
int progressDirLength = 0;

// FileTimeToLocalFileTime adds the bias in force at the moment of the call,
// whatever the time it converts (and under Wine it costs about as much as
// composing the whole line). So each search asks it once and adds
// that bias itself: a change of the bias, such as the daylight-saving switch,
// reaches the listing at the next directory instead of the next file.
bool zoneBiasKnown = false;
uint64_t zoneBias = 0; // added modulo 2^64, as Wine adds it

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

// No time zone is a day or more from UTC.
constexpr uint64_t kOneDay = 864000000000ULL;

// 2000-01-01 00:00 UTC: a time every platform converts.
constexpr uint64_t kBiasReferenceTime = 125911584000000000ULL;

void LearnZoneBias() {
    uint64_t local;
    zoneBiasKnown = platform::LocalFileTime(kBiasReferenceTime, local);
    zoneBias = local - kBiasReferenceTime;
}

uint64_t LocalTimeOf(uint64_t utcFileTime) {
    uint64_t local;
    bool converted = zoneBiasKnown ? (local = utcFileTime + zoneBias, true) : platform::LocalFileTime(utcFileTime, local);
    // Only times at the very ends of the FILETIME range have no local form:
    // Windows fails them, Wine wraps them round 2^64 (1601-01-01 00:30 UTC
    // west of UTC comes out in a year past 60000) and reports success; the
    // sum wraps the same way. Either way the entry's own time is a better
    // text than none.
    if (converted && (local > utcFileTime ? local - utcFileTime : utcFileTime - local) <= kOneDay) return local;
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

// Kept out of WalkDirectory, so that its locals take no room on every level of the recursion.
[[gnu::noinline]] void ListFile(const TSEARCHREC &search) {
    ListingLineFields fields;
    if (headStale) {
        progressPath = std::string_view(CurrentDrive, 2);
        progressPath += CurrentDir;
        progressDirLength = progressPath.length;
        // Only letters A to Z ever find entries; anything else has no label.
        int position = CurrentDrive[0] - 64;
        const DriveRecord *drive = position >= 1 && position <= kDrivePositions ? &DriveTable[position] : nullptr;
        fields.drive = std::string_view(CurrentDrive, 2);
        fields.label = drive != nullptr ? drive->Label.view() : std::string_view();
        fields.serial = drive != nullptr ? drive->Serial.view() : std::string_view();
        fields.directory = CurrentDir.view();
        headLength = ComposeListingHead(lineBuffer, fields);
        headStale = false;
    }
    progressPath.Truncate(progressDirLength);
    progressPath += search.EntryName;
    ShowProgress(progressPath);

    fields.name = search.EntryName;
    fields.size = search.EntrySize;
    fields.when = EntryDateTime(search);
    int length = ComposeListingTail(lineBuffer, headLength, fields, ListingDateTime);
    // The line end goes in with the line (the buffer has room for it), one
    // WriteText instead of two; the file takes the same bytes either way.
    lineBuffer[length++] = '\r';
    lineBuffer[length++] = '\n';
    WriteText(ListingFile, std::string_view(lineBuffer, static_cast<size_t>(length)));
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

bool FindFirstEntry(const char16_t *pattern, uint32_t attributeMask, TSEARCHREC &search) {
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

constexpr char16_t kLongPathPrefix[] = u"\\\\?\\";

std::u16string_view WideName(const TSEARCHREC &search) {
    const char16_t *name = search.FindData.wideName;
    return std::u16string_view(name, std::char_traits<char16_t>::length(name));
}

// A name with one of these cannot name its own directory in a path: a
// backslash or slash would lead into another directory, a wildcard could
// match another one. Unix file systems allow them all.
bool AddressableName(std::u16string_view name) {
    return name.find_first_of(u"\\/:*?\"<>|") == std::u16string_view::npos;
}

void AppendWide(std::u16string_view text) {
    text.copy(CurrentWideDir + CurrentWideDirLength, text.size());
    CurrentWideDirLength += static_cast<int>(text.size());
    CurrentWideDir[CurrentWideDirLength] = 0;
}

void AppendAscii(std::string_view text) {
    for (char c : text) CurrentWideDir[CurrentWideDirLength++] = static_cast<unsigned char>(c);
    CurrentWideDir[CurrentWideDirLength] = 0;
}

// A walk that starts here: "\\?\" + CurrentDrive + CurrentDir.
void StartWidePath() {
    CurrentWideDirLength = 0;
    AppendWide(kLongPathPrefix);
    AppendAscii(std::string_view(CurrentDrive, 2));
    AppendAscii(CurrentDir.view());
}

} // namespace

bool EntersDirectory(const TSEARCHREC &search) {
    std::u16string_view name = WideName(search);
    if (name.empty() || name[0] == u'.') return false;
    if (name == u"Recycled") return false;
    if (IsLink(search)) return false;
    if (!AddressableName(name)) return false;
    // The wide path needs room for the name, its backslash, the "*" of the
    // pattern and the zero.
    if (CurrentWideDirLength + static_cast<int>(name.size()) + 3 > kWideDirCapacity) return false;
    // Deeper than this, CurrentDir could no longer name the directory being
    // walked. It counts bytes: a double-byte character takes two.
    return CurrentDir.length + search.EntryName.size() + 1 <= String255::kCapacity;
}

void WalkDirectory(INFOLISTE *node) {
    if (node->Link == nullptr) StartWidePath();
    headStale = true;
    node->DirLength = CurrentDir.length;
    node->WideDirLength = CurrentWideDirLength;
    TSEARCHREC &search = node->Search;

    // The pattern is the wide path and "*", written after it in place.
    CurrentWideDir[CurrentWideDirLength] = u'*';
    CurrentWideDir[CurrentWideDirLength + 1] = 0;
    LearnZoneBias();
    bool found = FindFirstEntry(CurrentWideDir, kWalkAttributeMask, search);
    CurrentWideDir[CurrentWideDirLength] = 0;

    if (found) {
        do {
            if ((search.EntryAttributes & platform::kAttributeDirectory) == 0) {
                ListFile(search);
            } else if (EntersDirectory(search)) {
                CurrentDir += search.EntryName;
                CurrentDir += '\\';
                AppendWide(WideName(search));
                AppendWide(u"\\");
                WalkDirectory(NewWalkNode(node));
                headStale = true;
            }
        } while (FindNextEntry(search));
    }
    FindCloseEntry(search);
    INFOLISTE *enclosing = node->Link;
    ReleaseWalkNode(node);

    if (enclosing != nullptr) {
        CurrentDir.Truncate(enclosing->DirLength);
        CurrentWideDirLength = enclosing->WideDirLength;
        CurrentWideDir[CurrentWideDirLength] = 0;
    } else if (!(CurrentDir == std::string_view("\\"))) {
        // A walk started below the root hands back the path above its start,
        // which ends in the last backslash before the start's own name.
        int length = CurrentDir.length - 1;
        while (length > 0 && CurrentDir.chars[length - 1] != '\\') --length;
        CurrentDir.Truncate(length);
    }
}
