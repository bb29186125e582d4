// The simulated machine's files: their bytes for tests to set and read, the
// faults a test plants in them, and the platform's file calls on them, as
// Windows answers them (sharing, read-only files, positions past 4 GiB).
#include <algorithm>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_machine.h"

using namespace sim::machine;

namespace sim {

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

} // namespace sim

namespace platform {

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
    return new sim::machine::OpenFile{key, mode != OpenMode::Read, 0};
}

// As Windows does it: without a high word the new position must fit in 32
// bits (Wine moves past 4 GiB all the same; the program must not rely on it).
bool SetFilePointer(FileHandle handle, int32_t distanceLow, int32_t *distanceHigh, SeekOrigin origin,
                    uint64_t &newPosition, uint32_t &error) {
    constexpr uint32_t kInvalidParameter = 87, kNegativeSeek = 131;
    auto *file = static_cast<sim::machine::OpenFile *>(handle);
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
    auto *file = static_cast<sim::machine::OpenFile *>(handle);
    read = 0;
    if (file->writing) return false; // opened GENERIC_WRITE only
    read = sim::ReadContent(M().nodes[file->key].content, file->position, static_cast<char *>(bytes), size);
    file->position += read;
    return true;
}

bool WriteFile(FileHandle handle, const void *bytes, uint32_t size, uint32_t &written) {
    Machine &m = M();
    auto *file = static_cast<sim::machine::OpenFile *>(handle);
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
    auto *file = static_cast<sim::machine::OpenFile *>(handle);
    if (file == nullptr) return;
    if (Node *node = Find(file->key)) node->openCount--;
    M().openFiles--;
    delete file;
}

} // namespace platform
