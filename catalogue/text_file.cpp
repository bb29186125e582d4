// The buffered text file under the listing file: a 256-byte write buffer per
// variable and one result code for the whole process, so that the walk can
// write a whole line and check once instead of testing every call.
#include "catalogue/text_file.h"

#include <cstring>

#include "shell/failure_report.h"

namespace {

// Pending result code of the last failed operation; 0 when none is pending.
uint16_t resultCode = 0;

// The codes that an open reports differently from the platform: the device
// errors 19 to 31 move up past our own 101..103 range, and a sharing
// violation reads as plain access denied.
uint16_t OpenResult(uint32_t platformError) {
    if (platformError >= 19 && platformError <= 31) return static_cast<uint16_t>(platformError + 131);
    if (platformError == 32) return 5;
    return static_cast<uint16_t>(platformError);
}

void WriteOut(TextFile &file) {
    uint32_t written = 0;
    uint32_t size = static_cast<uint32_t>(file.fill);
    file.fill = 0;
    if (!platform::WriteFile(file.handle, file.buffer, size, written) || written != size)
        resultCode = kResultDiskFull;
}

// The end of a file of any size, where position then stands: without the
// high word, Windows refuses to move past 4 GiB and leaves the position at
// the start of the file.
bool MoveToEnd(platform::FileHandle handle, uint64_t &position, uint32_t &error) {
    int32_t high = 0;
    return platform::SetFilePointer(handle, 0, &high, platform::SeekOrigin::End, position, error);
}

void Open(TextFile &file, platform::OpenMode mode) {
    if (resultCode != 0) return;
    if (file.state != TextFileState::Closed) {
        Close(file);
        if (resultCode != 0) return;
    }
    file.fill = 0;
    uint32_t error = 0;
    platform::FileHandle handle = platform::OpenFile(file.path, mode, error);
    if (handle == nullptr) {
        resultCode = OpenResult(error);
        return;
    }
    uint64_t end = 0;
    if (mode == platform::OpenMode::Append && !MoveToEnd(handle, end, error)) {
        // Writing from anywhere but the end would overwrite the oldest lines.
        platform::CloseFile(handle);
        resultCode = OpenResult(error);
        return;
    }
    file.handle = handle;
    file.state = mode == platform::OpenMode::Read ? TextFileState::Reading : TextFileState::Writing;
}

// The slow half of WriteText: nothing open for writing, a pending code, or
// more bytes than the buffer has room for.
void WriteTextSlowly(TextFile &file, const char *bytes, size_t size) {
    if (resultCode != 0) return;
    if (file.state != TextFileState::Writing) {
        resultCode = kResultFileNotOpen;
        return;
    }
    // A buffer filled exactly is kept until a later byte needs its room.
    for (;;) {
        size_t room = sizeof file.buffer - static_cast<size_t>(file.fill);
        if (size <= room) break;
        std::memcpy(file.buffer + file.fill, bytes, room);
        file.fill = sizeof file.buffer;
        bytes += room;
        size -= room;
        WriteOut(file);
        if (resultCode != 0) return;
    }
    std::memcpy(file.buffer + file.fill, bytes, size);
    file.fill += static_cast<int>(size);
}

} // namespace

void Bind(TextFile &file, const char *path) {
    size_t length = std::strlen(path);
    if (length > sizeof file.path - 1) length = sizeof file.path - 1;
    std::memcpy(file.path, path, length);
    file.path[length] = '\0';
    file.state = TextFileState::Closed;
    file.handle = nullptr;
    file.fill = 0;
}

void OpenForReading(TextFile &file) { Open(file, platform::OpenMode::Read); }
void Create(TextFile &file) { Open(file, platform::OpenMode::Create); }
void OpenForAppending(TextFile &file) { Open(file, platform::OpenMode::Append); }

void WriteText(TextFile &file, std::string_view text) {
    size_t fill = static_cast<size_t>(file.fill);
    if (resultCode == 0 && file.state == TextFileState::Writing && text.size() <= sizeof file.buffer - fill) {
        std::memcpy(file.buffer + fill, text.data(), text.size());
        file.fill = static_cast<int>(fill + text.size());
        return;
    }
    WriteTextSlowly(file, text.data(), text.size());
}

void EndLine(TextFile &file) { WriteText(file, std::string_view("\r\n", 2)); }

void Close(TextFile &file) {
    if (resultCode != 0) return;
    if (file.state == TextFileState::Closed) {
        resultCode = kResultFileNotOpen;
        return;
    }
    if (file.state == TextFileState::Writing && file.fill > 0) WriteOut(file);
    platform::CloseFile(file.handle);
    file.handle = nullptr;
    file.state = TextFileState::Closed;
}

int ReadLastBytes(TextFile &file, char *bytes, int count) {
    if (resultCode != 0 || file.state != TextFileState::Reading) return 0;
    uint32_t error = 0;
    uint64_t size = 0;
    if (!MoveToEnd(file.handle, size, error)) return 0;
    uint64_t start = size > static_cast<uint64_t>(count) ? size - static_cast<uint64_t>(count) : 0;
    int32_t high = static_cast<int32_t>(start >> 32);
    if (!platform::SetFilePointer(file.handle, static_cast<int32_t>(start), &high, platform::SeekOrigin::Begin,
                                  size, error))
        return 0;
    uint32_t read = 0;
    if (!platform::ReadFile(file.handle, bytes, static_cast<uint32_t>(count), read)) return 0;
    return static_cast<int>(read);
}

uint16_t QueryResult() {
    uint16_t code = resultCode;
    resultCode = 0;
    return code;
}

[[gnu::noinline]] void Check() {
    if (resultCode == 0) return;
    uint16_t code = resultCode;
    resultCode = 0;
    uintptr_t caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    if (code == kResultDiskFull) RaiseFailure("Disk Full", caller);
    if (code == kResultFileNotOpen) RaiseFailure("File not open", caller);
    // Only an open leaves other codes, and no check follows an open; should
    // one ever do, the code still shows, formatted as an unknown run-time error.
    static char other[] = "Unknown Run-Time error : 00000";
    char *digits = other + sizeof "Unknown Run-Time error : " - 1;
    char *end = digits;
    uint16_t divisor = code >= 10000 ? 10000 : code >= 1000 ? 1000 : 100;
    for (; divisor > 0; divisor /= 10) *end++ = static_cast<char>('0' + code / divisor % 10);
    *end = '\0';
    RaiseFailure(other, caller);
}
