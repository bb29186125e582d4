// The simulated machine: one in-memory tree of volumes, directories and files
// behind every platform call, so that the listing file on C: is met by a walk
// of C: just as on a real machine. Here the tree, its searches, times, locale
// and the user interface; the files' bytes and calls are in sim_files.cpp.
#include "platform/sim/sim.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/sim/sim_code_page.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_volume_faults.h"

namespace sim::machine {

Machine *instance = nullptr;

Machine &M() {
    if (instance == nullptr) {
        instance = new Machine;
        sim::Reset();
    }
    return *instance;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char &c : folded) c = Lower(c);
    return folded;
}

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

Node *FindExact(const std::string &key) {
    auto it = M().nodes.find(key);
    return it == M().nodes.end() ? nullptr : &it->second;
}

std::string Resolved(const std::string &key) {
    if (FindExact(key) != nullptr) return key;
    auto it = M().foldedKeys.find(Folded(key));
    return it == M().foldedKeys.end() ? key : it->second;
}

Node *Find(const std::string &key) { return FindExact(Resolved(key)); }

bool VolumeExists(const std::string &key) {
    return !key.empty() && M().volumes.count(key[0]) != 0 && Find(key.substr(0, 2)) != nullptr;
}

} // namespace sim::machine

namespace {

using namespace sim::machine;

std::string_view LastName(std::string_view path) {
    while (path.size() > 2 && path.back() == '\\') path.remove_suffix(1);
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

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

} // namespace

namespace sim::machine {

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

} // namespace sim::machine

namespace sim {

void Reset() {
    if (machine::instance == nullptr) machine::instance = new Machine;
    *machine::instance = Machine{};
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
    if (machine::instance == nullptr || machine::instance->allocationCountdown <= 0) return false;
    return --machine::instance->allocationCountdown == 0;
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
