// The simulated machine's state and the helpers that find their way in it,
// shared by the files that make the machine up: sim.cpp (volumes, trees,
// searches, times, the user interface) and sim_files.cpp (files opened,
// read and written). Tests use sim.h, never this.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_file_content.h"

namespace sim::machine {

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

// The machine, made (and reset) on first use.
Machine &M();

char Lower(char c);
std::string Folded(std::string_view text);
// "D:\Songs\" becomes "d:\Songs", a root "d:": names keep their letter case,
// so that two names differing only in case are two entries, as on a unix
// file system under Wine.
std::string Key(std::string_view path);
std::string ParentKey(const std::string &key);
Node *FindExact(const std::string &key);
// A path as the platform resolves it: the entry of exactly that name, or
// failing that one whose name differs only in letter case (Wine looks the
// same way on a unix file system; Windows ignores case altogether).
std::string Resolved(const std::string &key);
Node *Find(const std::string &key);
// The entry of a path, made with its parent directories where missing.
Node &MakeEntry(std::string_view path);
bool VolumeExists(const std::string &key);

} // namespace sim::machine
