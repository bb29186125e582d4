// The bytes of a simulated file. Small files are kept whole; a sparse file
// (a listing file of 4 GiB and more, say) keeps only its first and last bytes
// with a hole of zeros between them, so that a test can have one without
// taking 4 GiB of memory.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

struct FileContent {
    std::string head;
    uint64_t hole = 0; // zero bytes after head; tail is empty while this is 0
    std::string tail;
};

uint64_t ContentSize(const FileContent &content);
// Writes count bytes at position, which is at most the size; a file grows at
// its end. Of a hole only its start can be written (no test needs more); any
// other write into it aborts.
void WriteContent(FileContent &content, uint64_t position, const char *bytes, uint32_t count);
// Copies up to count bytes from position; returns how many there were.
uint32_t ReadContent(const FileContent &content, uint64_t position, char *bytes, uint32_t count);

} // namespace sim
