// The simulated machine: one in-memory tree of volumes, directories and files
// behind every platform call, so that the listing file on C: is met by a walk
// of C: just as on a real machine.
#include "platform/sim/sim.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/sim/sim_code_page.h"
#include "platform/sim/sim_file_content.h"
#include "platform/sim/sim_volume_faults.h"

namespace {

struct Node {
    std::string name; // as given (UTF-8), letter case kept
    bool directory = false;
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
    uint32_t reparseTag = 0;
    bool unreadable = false;
    bool readOnly = false;
    bool locked = false;
    uint32_t failOpenCode = 0;
    uint32_t failSeekCode = 0;
    int openCount = 0;
    sim::FileContent content;
    std::vector<std::string> children; // keys, in the order they were added
};

struct Volume {
    std::string label;
    uint32_t serial = 0;
    std::string fileSystem;
};

struct Search {
    std::vector<platform::FindEntry> entries;
    size_t next = 0;
};

struct OpenFile {
    std::string key;
    bool writing = false;
    uint64_t position = 0;
};

struct Machine {
    std::map<char, Volume> volumes;
    std::map<std::string, Node> nodes;
    // Letter case folded key -> the first exact key of that spelling.
    std::map<std::string, std::string> foldedKeys;
    std::vector<std::string> searchPatterns;
    int codePage = 1252;
    bool dosYearsWrap = false;
    int64_t zoneOffsetMinutes = 0;
    uint64_t clock = 0; // microseconds
    uint32_t tickStep = 100;
    uint32_t statusTextCost = 0;
    uint32_t slept = 0;
    std::map<uint32_t, std::string> locale;
    int64_t writesDone = 0;
    int64_t failWriteAt = -1;
    bool failWritesAfter = false;
    int64_t shortWriteAt = -1;
    uint32_t shortWriteBytes = 0;
    std::vector<sim::WriteRecord> writes;
    std::vector<sim::BoxRecord> boxes;
    std::vector<sim::StatusRecord> statusTexts;
    int repaints = 0;
    std::vector<uintptr_t> callChain;
    int openFiles = 0;
    int allocationCountdown = 0;
    platform::FaultHandler faultHandler = nullptr;
    void (*boxShownAction)() = nullptr;
};

Machine *machine = nullptr;

Machine &M() {
    if (machine == nullptr) {
        machine = new Machine;
        sim::Reset();
    }
    return *machine;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char &c : folded) c = Lower(c);
    return folded;
}

// "D:\Songs\" becomes "d:\Songs", a root "d:": names keep their letter case,
// so that two names differing only in case are two entries, as on a unix
// file system under Wine.
std::string Key(std::string_view path) {
    std::string key(path);
    if (!key.empty()) key[0] = Lower(key[0]);
    while (key.size() > 2 && key.back() == '\\') key.pop_back();
    return key;
}

std::string ParentKey(const std::string &key) {
    size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string_view LastName(std::string_view path) {
    while (path.size() > 2 && path.back() == '\\') path.remove_suffix(1);
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

Node *FindExact(const std::string &key) {
    auto it = M().nodes.find(key);
    return it == M().nodes.end() ? nullptr : &it->second;
}

// A path as the platform resolves it: the entry of exactly that name, or
// failing that one whose name differs only in letter case (Wine looks the
// same way on a unix file system; Windows ignores case altogether).
std::string Resolved(const std::string &key) {
    if (FindExact(key) != nullptr) return key;
    auto it = M().foldedKeys.find(Folded(key));
    return it == M().foldedKeys.end() ? key : it->second;
}

Node *Find(const std::string &key) { return FindExact(Resolved(key)); }

Node &NewNode(const std::string &key) {
    M().foldedKeys.emplace(Folded(key), key);
    return M().nodes[key];
}

Node &MakeDirectories(const std::string &key, std::string_view path) {
    if (Node *node = FindExact(key)) return *node;
    std::string parent = ParentKey(key);
    if (parent.empty()) { // a drive root
        Node &root = NewNode(key);
        root.name = key;
        root.directory = true;
        root.attributes = platform::kAttributeDirectory;
        return root;
    }
    std::string_view parentPath = path.substr(0, path.rfind('\\') == 2 ? 2 : path.rfind('\\'));
    Node &up = MakeDirectories(parent, parentPath);
    up.children.push_back(key);
    Node &node = NewNode(key);
    node.name = std::string(LastName(path));
    node.directory = true;
    node.attributes = platform::kAttributeDirectory;
    return node;
}

Node &MakeEntry(std::string_view path) {
    while (path.size() > 3 && path.back() == '\\') path.remove_suffix(1);
    std::string key = Key(path);
    if (Node *node = FindExact(key)) return *node;
    size_t slash = path.rfind('\\');
    std::string_view parentPath = path.substr(0, slash == 2 ? 2 : slash);
    Node &up = MakeDirectories(Key(parentPath), parentPath);
    up.children.push_back(key);
    Node &node = NewNode(key);
    node.name = std::string(LastName(path));
    return node;
}

void PutNames(std::string_view name, platform::FindEntry &entry) {
    std::u16string wide = sim::Utf16(name);
    size_t n = std::min(wide.size(), std::size(entry.wideName) - 1);
    std::copy_n(wide.data(), n, entry.wideName);
    entry.wideName[n] = 0;
    std::string ansi = sim::AnsiText(std::u16string_view(wide.data(), n), M().codePage);
    n = std::min(ansi.size(), sizeof entry.name - 1);
    std::copy_n(ansi.data(), n, entry.name);
    entry.name[n] = '\0';
}

platform::FindEntry EntryOf(const Node &node) {
    platform::FindEntry entry{};
    entry.attributes = node.attributes;
    entry.lastWriteTime = node.lastWriteTime;
    entry.size = node.directory ? 0 : node.size;
    entry.reparseTag = node.reparseTag;
    PutNames(node.name, entry);
    return entry;
}

platform::FindEntry DotEntry(const char *name) {
    platform::FindEntry entry{};
    entry.attributes = platform::kAttributeDirectory;
    PutNames(name, entry);
    return entry;
}

// Without the "\\?\" prefix Windows normalises a path before the file system
// sees it: each name loses its trailing dots and spaces ("trail." opens "trail").
std::string Normalised(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view name = path.substr(start, end - start);
        if (name != "." && name != "..")
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
        out += name;
        if (end < path.size()) out += '\\';
        start = end + 1;
    }
    return out;
}

bool VolumeExists(const std::string &key) {
    return !key.empty() && M().volumes.count(key[0]) != 0 && Find(key.substr(0, 2)) != nullptr;
}

} // namespace

namespace sim {

void Reset() {
    if (machine == nullptr) machine = new Machine;
    *machine = Machine{};
    ResetVolumeFaults();
    SetDateTimeLocale("/", "0", ":", "0");
}

void AddVolume(char letter, std::string_view label, uint32_t serial, std::string_view fileSystem) {
    Volume &volume = M().volumes[Lower(letter)];
    volume.label = std::string(label);
    volume.serial = serial;
    volume.fileSystem = std::string(fileSystem);
    std::string root = {Lower(letter), ':'};
    MakeDirectories(root, root);
}

void AddDirectory(std::string_view path, uint32_t attributes, uint32_t reparseTag) {
    Node &node = MakeEntry(path);
    node.directory = true;
    node.attributes = attributes | platform::kAttributeDirectory;
    node.reparseTag = reparseTag;
}

void AddFile(std::string_view path, uint64_t size, uint64_t lastWriteUtc, uint32_t attributes) {
    Node &node = MakeEntry(path);
    node.attributes = attributes & ~platform::kAttributeDirectory;
    node.size = size;
    node.lastWriteTime = lastWriteUtc;
}

void MakeUnreadable(std::string_view path) { MakeEntry(path).unreadable = true; }

const std::vector<std::string> &SearchPatterns() { return M().searchPatterns; }

void SetCodePage(int codePage) { M().codePage = codePage; }

uint64_t Utc(int year, int month, int day, int hour, int minute, int second) {
    return FileTimeFromDateTime(DateTime{year, month, day, hour, minute, second});
}

void WrapDosYearsLikeWine(bool wraps) { M().dosYearsWrap = wraps; }

void SetTimeZoneOffsetMinutes(int minutes) { M().zoneOffsetMinutes = minutes; }
void SetTickStep(uint32_t milliseconds) { M().tickStep = milliseconds; }
void SetStatusTextMicroseconds(uint32_t microseconds) { M().statusTextCost = microseconds; }
uint32_t SleptMilliseconds() { return M().slept; }

void SetLocaleValue(uint32_t type, std::string_view value) { M().locale[type] = std::string(value); }
void RemoveLocaleValue(uint32_t type) { M().locale.erase(type); }

void SetDateTimeLocale(std::string_view dateSeparator, std::string_view dateOrder,
                       std::string_view timeSeparator, std::string_view hourLeadingZero) {
    SetLocaleValue(0x1D, dateSeparator);
    SetLocaleValue(0x21, dateOrder);
    SetLocaleValue(0x1E, timeSeparator);
    SetLocaleValue(0x25, hourLeadingZero);
}

void PutFile(std::string_view path, std::string_view bytes) { PutSparseFile(path, bytes, 0, {}); }

void PutSparseFile(std::string_view path, std::string_view head, uint64_t holeBytes, std::string_view tail) {
    Node &node = MakeEntry(path);
    node.attributes = platform::kAttributeArchive;
    node.content = FileContent{std::string(head), holeBytes, std::string(tail)};
    if (holeBytes == 0) {
        node.content.head += tail;
        node.content.tail.clear();
    }
    node.size = ContentSize(node.content);
}

bool FileExists(std::string_view path) {
    Node *node = Find(Key(path));
    return node != nullptr && !node->directory;
}

std::string FileBytes(std::string_view path) {
    Node *node = Find(Key(path));
    return node == nullptr ? std::string() : FileRange(path, 0, ContentSize(node->content));
}

uint64_t FileSize(std::string_view path) {
    Node *node = Find(Key(path));
    return node == nullptr ? 0 : ContentSize(node->content);
}

std::string FileRange(std::string_view path, uint64_t offset, uint64_t count) {
    Node *node = Find(Key(path));
    if (node == nullptr) return {};
    std::string bytes(static_cast<size_t>(std::min(count, ContentSize(node->content))), '\0');
    bytes.resize(ReadContent(node->content, offset, bytes.data(), static_cast<uint32_t>(bytes.size())));
    return bytes;
}

void MakeReadOnly(std::string_view path) {
    Node &node = MakeEntry(path);
    node.readOnly = true;
    node.attributes |= platform::kAttributeReadOnly;
}

void LockFile(std::string_view path) { MakeEntry(path).locked = true; }

void FailOpen(std::string_view path, uint32_t errorCode) {
    std::string key = Key(path);
    if (Node *node = Find(key)) {
        node->failOpenCode = errorCode;
        return;
    }
    // The path need not exist: keep the fault on a placeholder that no walk sees.
    Node &node = M().nodes["?" + key];
    node.failOpenCode = errorCode;
}

void FailSeek(std::string_view path, uint32_t errorCode) { MakeEntry(path).failSeekCode = errorCode; }

void FailWrite(int k, bool persist) {
    M().failWriteAt = M().writesDone + k;
    M().failWritesAfter = persist;
}

void ShortWrite(int k, uint32_t bytes) {
    M().shortWriteAt = M().writesDone + k;
    M().shortWriteBytes = bytes;
}

const std::vector<WriteRecord> &Writes() { return M().writes; }
int OpenFileCount() { return M().openFiles; }
const std::vector<BoxRecord> &Boxes() { return M().boxes; }
void SetBoxShownAction(void (*action)()) { M().boxShownAction = action; }
const std::vector<StatusRecord> &StatusTexts() { return M().statusTexts; }
int RepaintCount() { return M().repaints; }
void SetCallChain(std::vector<uintptr_t> addresses) { M().callChain = std::move(addresses); }
bool RaiseProcessorFault(uint32_t exceptionCode, uintptr_t address) {
    platform::FaultHandler handler = M().faultHandler;
    return handler != nullptr && handler(exceptionCode, address);
}

bool FaultHandlerInstalled() { return M().faultHandler != nullptr; }

void FailAllocation(int k) { M().allocationCountdown = k; }

bool TakeAllocationFailure() {
    if (machine == nullptr || machine->allocationCountdown <= 0) return false;
    return --machine->allocationCountdown == 0;
}

} // namespace sim

namespace platform {

bool QueryVolume(const char *rootPath, VolumeInfo &info) {
    char letter = Lower(rootPath[0]);
    bool faulted = sim::VolumeProbeFails(letter);
    auto it = M().volumes.find(letter);
    if (it == M().volumes.end() || faulted) return false;
    const Volume &volume = it->second;
    size_t n = std::min(volume.label.size(), sizeof info.label - 1);
    std::copy_n(volume.label.data(), n, info.label);
    info.label[n] = '\0';
    info.serial = volume.serial;
    n = std::min(volume.fileSystem.size(), sizeof info.fileSystem - 1);
    std::copy_n(volume.fileSystem.data(), n, info.fileSystem);
    info.fileSystem[n] = '\0';
    return true;
}

SearchHandle FindFirst(const char16_t *pattern, FindEntry &entry) {
    std::string text = sim::Utf8(pattern);
    M().searchPatterns.push_back(text);
    constexpr std::string_view kLongPrefix = "\\\\?\\";
    if (text.starts_with(kLongPrefix))
        text.erase(0, kLongPrefix.size());
    else
        text = Normalised(text);
    size_t slash = text.rfind('\\');
    if (slash == std::string::npos) return nullptr;
    std::string directoryKey = Key(std::string_view(text).substr(0, slash == 2 ? 2 : slash));
    std::string mask = text.substr(slash + 1);
    if (!VolumeExists(directoryKey)) return nullptr;
    Node *directory = Find(directoryKey);
    if (directory == nullptr || !directory->directory || directory->unreadable) return nullptr;

    auto search = std::make_unique<Search>();
    bool all = mask == "*.*" || mask == "*";
    if (all && directoryKey.size() > 2) {
        search->entries.push_back(DotEntry("."));
        search->entries.push_back(DotEntry(".."));
    }
    for (const std::string &childKey : directory->children) {
        const Node &child = M().nodes[childKey];
        if (all || Folded(child.name) == Folded(mask)) search->entries.push_back(EntryOf(child));
    }
    if (search->entries.empty()) return nullptr;
    entry = search->entries[0];
    search->next = 1;
    return search.release();
}

bool FindNext(SearchHandle handle, FindEntry &entry) {
    auto *search = static_cast<Search *>(handle);
    if (search == nullptr || search->next >= search->entries.size()) return false;
    entry = search->entries[search->next++];
    return true;
}

void FindClose(SearchHandle handle) { delete static_cast<Search *>(handle); }

// As Wine 8 does it (seen in 32-bit and 64-bit Wine alike): the bias is added
// round 2^64 and the call never fails, so 1601-01-01 00:30 UTC five hours
// west of UTC comes back as 0xFFFFFFDA480C2C00, and the last FILETIMEs east of
// UTC come back in 1601.
bool LocalFileTime(uint64_t utcFileTime, uint64_t &localFileTime) {
    localFileTime = utcFileTime + static_cast<uint64_t>(M().zoneOffsetMinutes * 600000000LL);
    return true;
}

bool DosDateTime(uint64_t localFileTime, uint16_t &dosDate, uint16_t &dosTime) {
    DateTime when = DateTimeFromFileTime(localFileTime);
    if (when.year < 1980 || (when.year > 2107 && !M().dosYearsWrap)) return false;
    dosDate = static_cast<uint16_t>((((when.year - 1980) & 0x7F) << 9) | (when.month << 5) | when.day);
    dosTime = static_cast<uint16_t>((when.hour << 11) | (when.minute << 5) | (when.second / 2));
    return true;
}

uint32_t TickCount() {
    Machine &m = M();
    uint32_t now = static_cast<uint32_t>(m.clock / 1000);
    m.clock += uint64_t{m.tickStep} * 1000;
    return now;
}

uint64_t MicrosecondCount() { return M().clock; }

void Sleep(uint32_t milliseconds) {
    M().clock += uint64_t{milliseconds} * 1000;
    M().slept += milliseconds;
}

bool LocaleValue(uint32_t type, char *buffer, int bufferSize) {
    auto it = M().locale.find(type);
    if (it == M().locale.end() || static_cast<int>(it->second.size()) >= bufferSize) return false;
    // The call leaves the rest of the buffer as it was, often zeros: cleared
    // here, so that a reader going past the terminator meets a zero, not luck.
    std::copy_n(it->second.c_str(), it->second.size() + 1, buffer);
    std::fill(buffer + it->second.size() + 1, buffer + bufferSize, '\0');
    return true;
}

FileHandle OpenFile(const char *path, OpenMode mode, uint32_t &error) {
    std::string key = Resolved(Key(path));
    Node *node = Find(key);
    if (node == nullptr) node = Find("?" + key);
    if (node != nullptr && node->failOpenCode != 0) {
        error = node->failOpenCode;
        return nullptr;
    }
    std::string parent = ParentKey(key);
    Node *up = parent.empty() ? nullptr : Find(parent);
    if (!VolumeExists(key) || up == nullptr || !up->directory) {
        error = 3;
        return nullptr;
    }
    if (node != nullptr && node->directory) {
        error = 5;
        return nullptr;
    }
    if (node != nullptr && (node->locked || node->openCount > 0)) {
        error = 32;
        return nullptr;
    }
    if (node == nullptr && mode != OpenMode::Create) {
        error = 2;
        return nullptr;
    }
    if (node != nullptr && node->readOnly && mode != OpenMode::Read) {
        error = 5;
        return nullptr;
    }
    if (node == nullptr) {
        node = &MakeEntry(path);
        node->attributes = kAttributeArchive;
    }
    if (mode == OpenMode::Create) {
        node->content = sim::FileContent{};
        node->size = 0;
    }
    node->openCount++;
    M().openFiles++;
    // Every open starts at the first byte, an open for appending too: only a
    // SetFilePointer moves it to the end.
    return new ::OpenFile{key, mode != OpenMode::Read, 0};
}

// As Windows does it: without a high word the new position must fit in 32
// bits (Wine moves past 4 GiB all the same; the program must not rely on it).
bool SetFilePointer(FileHandle handle, int32_t distanceLow, int32_t *distanceHigh, SeekOrigin origin,
                    uint64_t &newPosition, uint32_t &error) {
    constexpr uint32_t kInvalidParameter = 87, kNegativeSeek = 131;
    auto *file = static_cast<::OpenFile *>(handle);
    int64_t distance = distanceHigh != nullptr
                           ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                                  static_cast<uint32_t>(distanceLow))
                           : distanceLow;
    int64_t base = origin == SeekOrigin::Begin     ? 0
                   : origin == SeekOrigin::Current ? static_cast<int64_t>(file->position)
                                                   : static_cast<int64_t>(sim::ContentSize(M().nodes[file->key].content));
    int64_t target = base + distance;
    if (uint32_t code = M().nodes[file->key].failSeekCode) {
        error = code;
        return false;
    }
    if (target < 0) {
        error = kNegativeSeek;
        return false;
    }
    if (distanceHigh == nullptr && target > 0xFFFFFFFELL) {
        error = kInvalidParameter;
        return false;
    }
    file->position = static_cast<uint64_t>(target);
    if (distanceHigh != nullptr) *distanceHigh = static_cast<int32_t>(file->position >> 32);
    newPosition = file->position;
    return true;
}

bool ReadFile(FileHandle handle, void *bytes, uint32_t size, uint32_t &read) {
    auto *file = static_cast<::OpenFile *>(handle);
    read = 0;
    if (file->writing) return false; // opened GENERIC_WRITE only
    read = sim::ReadContent(M().nodes[file->key].content, file->position, static_cast<char *>(bytes), size);
    file->position += read;
    return true;
}

bool WriteFile(FileHandle handle, const void *bytes, uint32_t size, uint32_t &written) {
    Machine &m = M();
    auto *file = static_cast<::OpenFile *>(handle);
    const char *text = static_cast<const char *>(bytes);
    m.writes.push_back({file->key, std::string(text, size)});
    int64_t call = ++m.writesDone;
    written = 0;
    if (call == m.failWriteAt || (m.failWritesAfter && m.failWriteAt >= 0 && call > m.failWriteAt)) return false;
    if (!file->writing) return false;
    uint32_t count = call == m.shortWriteAt ? std::min(size, m.shortWriteBytes) : size;
    Node &node = m.nodes[file->key];
    sim::WriteContent(node.content, file->position, text, count);
    file->position += count;
    node.size = sim::ContentSize(node.content);
    written = count;
    return true;
}

void CloseFile(FileHandle handle) {
    auto *file = static_cast<::OpenFile *>(handle);
    if (file == nullptr) return;
    if (Node *node = Find(file->key)) node->openCount--;
    M().openFiles--;
    delete file;
}

void SendStatusText(WindowHandle statusWindow, uint32_t part, const char *text) {
    M().statusTexts.push_back({statusWindow, part, text});
    M().clock += M().statusTextCost;
}

void RepaintNow(WindowHandle) { M().repaints++; }

void ShowMessageBox(const char *text, const char *caption) {
    M().boxes.push_back({text, caption});
    if (M().boxShownAction != nullptr) M().boxShownAction();
}

void ExitProcess(uint32_t exitCode) { throw sim::ProcessExit{exitCode}; }

void SetFaultHandler(FaultHandler handler) { M().faultHandler = handler; }

int CaptureCallChain(uintptr_t *addresses, int capacity, int) {
    int n = std::min(capacity, static_cast<int>(M().callChain.size()));
    std::copy_n(M().callChain.begin(), n, addresses);
    return n;
}

} // namespace platform
