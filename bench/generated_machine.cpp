// The computed machine behind platform.h for the host benchmarks. Every
// directory's name ends in its number (hexadecimal), so a search pattern
// tells which directory it asks for without any table; a directory's
// entries are ".", "..", its subdirectories, then its files, all derived
// from the directory's number and the entry's index.
#include "bench/generated_machine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <strings.h>

#include "common/date_time_text.h"
#include "platform/platform.h"

namespace {

const char *const kWords[] = {"report", "invoice", "holiday", "photo",  "scan",    "backup", "draft",  "final",
                              "notes",  "music",   "song",    "track",  "album",   "budget", "letter", "summary",
                              "project", "design", "sketch",  "archive", "setup",  "driver", "readme", "video",
                              "clip",   "lecture", "chapter", "index",  "table",   "data",   "export", "config"};
const char *const kExtensions[] = {"txt", "pdf", "jpg", "jpeg", "png", "mp3", "flac", "docx", "xlsx", "zip", "tar.gz",
                                   "exe", "dll", "ini", "log",  "csv", "html", "c",   "h",    "cpp",  ""};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];
constexpr int kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

constexpr int kMostSearches = 1024;

struct Search {
    bool open = false;
    int64_t directory = 0;
    int64_t next = 0; // index of the entry the next FindNext returns
};

struct Machine {
    generated::TreeShape shape;
    int64_t allDirectories = 1; // the root, the ordinary directories and the chain
    uint64_t listingBytes = 0;
    uint64_t listingLines = 0;
    uint64_t checksum = 1469598103934665603ULL;
    bool listingExists = false;
    bool listingOpen = false;
    uint64_t statusTexts = 0;
    uint64_t repaints = 0;
    int openSearches = 0;
    int mostOpenSearches = 0;
    uintptr_t lowestStack = UINTPTR_MAX;
    Search searches[kMostSearches];
};

Machine machine;

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

void NoteStack() {
    char here;
    uintptr_t address = reinterpret_cast<uintptr_t>(&here);
    if (address < machine.lowestStack) machine.lowestStack = address;
}

int64_t FirstChain() { return machine.shape.directories + 1; }

bool IsChain(int64_t directory) { return directory >= FirstChain(); }

// Subdirectories of a directory: ordinary ones in breadth-first order, and
// for the root also the head of the chain; a chain directory has the next one.
int64_t SubdirectoryCount(int64_t directory) {
    const generated::TreeShape &shape = machine.shape;
    if (IsChain(directory)) return directory + 1 < machine.allDirectories ? 1 : 0;
    int64_t first = directory * shape.fanout + 1;
    int64_t count = 0;
    if (first <= shape.directories) {
        int64_t last = first + shape.fanout - 1;
        if (last > shape.directories) last = shape.directories;
        count = last - first + 1;
    }
    if (directory == 0 && shape.chainDepth > 0) count++;
    return count;
}

int64_t Subdirectory(int64_t directory, int64_t index) {
    if (IsChain(directory)) return directory + 1;
    int64_t ordinary = SubdirectoryCount(directory) - (directory == 0 && machine.shape.chainDepth > 0 ? 1 : 0);
    if (index < ordinary) return directory * machine.shape.fanout + 1 + index;
    return FirstChain();
}

int64_t FileCount(int64_t directory) {
    int64_t each = machine.shape.files / machine.allDirectories;
    return each + (directory < machine.shape.files % machine.allDirectories ? 1 : 0);
}

int PutText(char *out, const char *text) {
    size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return static_cast<int>(n);
}

void DirectoryName(int64_t directory, char *out) {
    if (IsChain(directory)) {
        std::snprintf(out, 260, "x%llx", static_cast<unsigned long long>(directory));
        return;
    }
    uint64_t h = Mix(static_cast<uint64_t>(directory));
    std::snprintf(out, 260, "%s %s %llx", kWords[h % kWordCount], kWords[(h >> 8) % kWordCount],
                  static_cast<unsigned long long>(directory));
}

void FileEntry(int64_t directory, int64_t index, platform::FindEntry &entry) {
    uint64_t h = Mix(static_cast<uint64_t>(directory) << 32 ^ static_cast<uint64_t>(index));
    char *out = entry.name;
    out += PutText(out, kWords[h % kWordCount]);
    if ((h >> 5) % 3 != 0) {
        *out++ = (h >> 7) % 2 ? '_' : ' ';
        out += PutText(out, kWords[(h >> 10) % kWordCount]);
    }
    // The index keeps names unique within the directory.
    out += std::snprintf(out, 32, " %lld", static_cast<long long>(index));
    const char *extension = kExtensions[(h >> 16) % kExtensionCount];
    if (*extension != '\0') {
        *out++ = '.';
        out += PutText(out, extension);
    }
    *out = '\0';
    entry.attributes = platform::kAttributeArchive;
    // Mostly small files, some large, a few beyond 4 GiB.
    int shift = static_cast<int>((h >> 24) % 34);
    entry.size = (h >> 40) & ((1ULL << shift) - 1);
    static const uint64_t y2000 = FileTimeFromDateTime(DateTime{2000, 1, 1, 0, 0, 0});
    entry.lastWriteTime = y2000 + ((h >> 20) % (25ULL * 365 * 86400)) * 10000000ULL;
    entry.reparseTag = 0;
}

void DotEntry(const char *name, platform::FindEntry &entry) {
    std::memset(&entry, 0, sizeof entry);
    entry.attributes = platform::kAttributeDirectory;
    std::strcpy(entry.name, name);
}

// Fills the entry at index; false past the last entry.
bool EntryAtAnsi(int64_t directory, int64_t index, platform::FindEntry &entry) {
    if (directory != 0) {
        if (index == 0) { DotEntry(".", entry); return true; }
        if (index == 1) { DotEntry("..", entry); return true; }
        index -= 2;
    }
    int64_t subdirectories = SubdirectoryCount(directory);
    if (index < subdirectories) {
        std::memset(&entry, 0, sizeof entry);
        entry.attributes = platform::kAttributeDirectory;
        DirectoryName(Subdirectory(directory, index), entry.name);
        return true;
    }
    index -= subdirectories;
    if (index >= FileCount(directory)) return false;
    FileEntry(directory, index, entry);
    return true;
}

// The wide name of an ASCII name is its characters.
bool EntryAt(int64_t directory, int64_t index, platform::FindEntry &entry) {
    if (!EntryAtAnsi(directory, index, entry)) return false;
    int i = 0;
    for (; entry.name[i] != '\0'; ++i) entry.wideName[i] = static_cast<unsigned char>(entry.name[i]);
    entry.wideName[i] = 0;
    return true;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// "\\?\D:\*" is the root; "\\?\D:\...\holiday photo 1a3\*" is directory 0x1a3.
bool DirectoryOfPattern(const char *pattern, int64_t &directory) {
    if (std::strncmp(pattern, "\\\\?\\", 4) != 0) return false;
    pattern += 4;
    size_t length = std::strlen(pattern);
    if (length < 4 || (pattern[0] != 'D' && pattern[0] != 'd') || pattern[1] != ':' ||
        std::strcmp(pattern + length - 2, "\\*") != 0)
        return false;
    size_t end = length - 2; // the backslash before "*"
    if (end == 2) {
        directory = 0;
        return true;
    }
    size_t start = end;
    while (start > 0 && IsHexDigit(pattern[start - 1])) --start;
    if (start == end || start == 0 || (pattern[start - 1] != ' ' && pattern[start - 1] != 'x')) return false;
    directory = 0;
    for (size_t i = start; i < end; ++i)
        directory = directory * 16 + (pattern[i] <= '9' ? pattern[i] - '0' : pattern[i] - 'a' + 10);
    return directory > 0 && directory < machine.allDirectories;
}

constexpr char kListingPath[] = "c:\\Volume Dateienverzeichnis.txt";

} // namespace

namespace generated {

void SetTree(const TreeShape &shape) {
    machine = Machine{};
    machine.shape = shape;
    machine.allDirectories = 1 + shape.directories + shape.chainDepth;
}

int TreeDepth() {
    int ordinaryDepth = 0;
    for (int64_t last = machine.shape.directories; last > 0; last = (last - 1) / machine.shape.fanout) ordinaryDepth++;
    return ordinaryDepth > machine.shape.chainDepth ? ordinaryDepth : machine.shape.chainDepth;
}

int64_t WidestDirectory() {
    int64_t widest = SubdirectoryCount(0);
    if (machine.shape.directories >= 1 && SubdirectoryCount(1) > widest) widest = SubdirectoryCount(1);
    return widest;
}

uint64_t ListingBytes() { return machine.listingBytes; }
uint64_t ListingLines() { return machine.listingLines; }
uint64_t ListingChecksum() { return machine.checksum; }
uint64_t StatusTexts() { return machine.statusTexts; }
uint64_t Repaints() { return machine.repaints; }
int MostOpenSearches() { return machine.mostOpenSearches; }
uintptr_t LowestStackAddress() { return machine.lowestStack; }

} // namespace generated

namespace platform {

bool QueryVolume(const char *rootPath, VolumeInfo &info) {
    char letter = rootPath[0];
    if (letter != 'C' && letter != 'D') return false;
    std::strcpy(info.label, letter == 'C' ? "SYSTEM" : "BENCH");
    info.serial = letter == 'C' ? 0x43000000 : 0x1234ABCD;
    std::strcpy(info.fileSystem, "NTFS");
    return true;
}

SearchHandle FindFirst(const char16_t *widePattern, FindEntry &entry) {
    NoteStack();
    // Every name of the tree is ASCII, so the pattern's units are its characters.
    char pattern[1024];
    size_t length = 0;
    for (; widePattern[length] != 0 && length + 1 < sizeof pattern; ++length)
        pattern[length] = static_cast<char>(widePattern[length]);
    pattern[length] = '\0';
    int64_t directory = 0;
    if (!DirectoryOfPattern(pattern, directory)) return nullptr;
    int slot = 0;
    while (slot < kMostSearches && machine.searches[slot].open) ++slot;
    if (slot == kMostSearches) return nullptr;
    if (!EntryAt(directory, 0, entry)) return nullptr;
    machine.searches[slot] = Search{true, directory, 1};
    if (++machine.openSearches > machine.mostOpenSearches) machine.mostOpenSearches = machine.openSearches;
    return &machine.searches[slot];
}

bool FindNext(SearchHandle handle, FindEntry &entry) {
    NoteStack();
    auto *search = static_cast<Search *>(handle);
    if (!EntryAt(search->directory, search->next, entry)) return false;
    search->next++;
    return true;
}

void FindClose(SearchHandle handle) {
    auto *search = static_cast<Search *>(handle);
    if (search == nullptr || !search->open) return;
    search->open = false;
    machine.openSearches--;
}

bool LocalFileTime(uint64_t utcFileTime, uint64_t &localFileTime) {
    localFileTime = utcFileTime;
    return true;
}

bool DosDateTime(uint64_t localFileTime, uint16_t &dosDate, uint16_t &dosTime) {
    DateTime when = DateTimeFromFileTime(localFileTime);
    if (when.year < 1980 || when.year > 2107) return false;
    dosDate = static_cast<uint16_t>(((when.year - 1980) << 9) | (when.month << 5) | when.day);
    dosTime = static_cast<uint16_t>((when.hour << 11) | (when.minute << 5) | (when.second / 2));
    return true;
}

uint32_t TickCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

uint64_t MicrosecondCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

void Sleep(uint32_t) {}

bool LocaleValue(uint32_t type, char *buffer, int bufferSize) {
    const char *value = type == 0x1D ? "." : type == 0x21 ? "1" : type == 0x1E ? ":" : type == 0x25 ? "1" : nullptr;
    if (value == nullptr || static_cast<int>(std::strlen(value)) >= bufferSize) return false;
    std::strcpy(buffer, value);
    return true;
}

FileHandle OpenFile(const char *path, OpenMode mode, uint32_t &error) {
    if (strcasecmp(path, kListingPath) != 0) {
        error = 3;
        return nullptr;
    }
    if (machine.listingOpen) {
        error = 32;
        return nullptr;
    }
    if (mode != OpenMode::Create && !machine.listingExists) {
        error = 2;
        return nullptr;
    }
    machine.listingExists = true;
    machine.listingOpen = true;
    return &machine;
}

bool WriteFile(FileHandle, const void *bytes, uint32_t size, uint32_t &written) {
    const auto *byte = static_cast<const unsigned char *>(bytes);
    uint64_t checksum = machine.checksum;
    for (uint32_t i = 0; i < size; ++i) {
        checksum = (checksum ^ byte[i]) * 1099511628211ULL;
        if (byte[i] == '\n') machine.listingLines++;
    }
    machine.checksum = checksum;
    machine.listingBytes += size;
    written = size;
    return true;
}

void CloseFile(FileHandle) { machine.listingOpen = false; }

// The counting sink has no bytes to read back: it reads as an empty file.
bool SetFilePointer(FileHandle, int32_t, int32_t *distanceHigh, SeekOrigin, uint64_t &newPosition, uint32_t &) {
    if (distanceHigh != nullptr) *distanceHigh = 0;
    newPosition = 0;
    return true;
}

bool ReadFile(FileHandle, void *, uint32_t, uint32_t &read) {
    read = 0;
    return true;
}

void SendStatusText(WindowHandle, uint32_t, const char *) { machine.statusTexts++; }

void RepaintNow(WindowHandle) { machine.repaints++; }

void ShowMessageBox(const char *text, const char *caption) { std::fprintf(stderr, "[%s] %s\n", caption, text); }

void ExitProcess(uint32_t exitCode) {
    std::fflush(stdout);
    std::_Exit(static_cast<int>(exitCode));
}

void SetFaultHandler(FaultHandler) {}

int CaptureCallChain(uintptr_t *, int, int) { return 0; }

} // namespace platform
