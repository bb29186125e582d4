// A small buffered text file with one process-wide pending result code:
// operations record a code on failure and do nothing while one is pending,
// QueryResult reads and clears it, Check turns it into a failure report.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

enum class TextFileState : uint8_t { Closed, Reading, Writing };

struct TextFile {
    char path[256] = {};
    TextFileState state = TextFileState::Closed;
    platform::FileHandle handle = nullptr;
    int fill = 0;
    char buffer[256];
};

// Result codes of our own; failed opens leave the platform's code (mapped).
constexpr uint16_t kResultDiskFull = 101;
constexpr uint16_t kResultFileNotOpen = 103;

void Bind(TextFile &file, const char *path);
void OpenForReading(TextFile &file);
void Create(TextFile &file);
// Writing continues after the file's last byte, whatever the file's size; a
// file whose end cannot be reached fails to open, with the platform's code.
void OpenForAppending(TextFile &file);
void WriteText(TextFile &file, std::string_view text);
void EndLine(TextFile &file);
void Close(TextFile &file);

// Reads the last count bytes (fewer when the file is shorter) of a file open
// for reading into bytes; returns how many came, 0 when they cannot be read.
// Sets no result code: the file's end is only ever looked at, never needed.
int ReadLastBytes(TextFile &file, char *bytes, int count);

uint16_t QueryResult();
// "Disk Full" for 101, "File not open" for 103, raised at the caller's address.
void Check();
