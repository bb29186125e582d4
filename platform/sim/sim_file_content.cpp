// The bytes of a simulated file, whole or with a hole of zeros.
#include "platform/sim/sim_file_content.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

// Writes into text at offset, growing it when the bytes reach past its end.
void WriteInto(std::string &text, uint64_t offset, const char *bytes, uint32_t count) {
    size_t at = static_cast<size_t>(offset);
    if (at > text.size()) text.resize(at, '\0');
    text.replace(at, std::min(text.size() - at, size_t(count)), bytes, count);
}

} // namespace

uint64_t ContentSize(const FileContent &content) {
    return content.head.size() + content.hole + content.tail.size();
}

void WriteContent(FileContent &content, uint64_t position, const char *bytes, uint32_t count) {
    uint64_t tailStart = content.head.size() + content.hole;
    if (content.hole == 0 || position + count <= content.head.size()) {
        WriteInto(content.head, position, bytes, count);
    } else if (position >= tailStart) {
        WriteInto(content.tail, position - tailStart, bytes, count);
    } else if (position <= content.head.size() && position + count <= tailStart) {
        // Into the start of the hole, as a seek that stayed at the start leaves it.
        uint64_t grown = position + count - content.head.size();
        WriteInto(content.head, position, bytes, count);
        content.hole -= grown;
    } else {
        std::fprintf(stderr, "sim: a write into the hole of a sparse file at %llu\n",
                     static_cast<unsigned long long>(position));
        std::abort();
    }
}

uint32_t ReadContent(const FileContent &content, uint64_t position, char *bytes, uint32_t count) {
    uint64_t size = ContentSize(content);
    if (position >= size) return 0;
    uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(count, size - position));
    uint64_t tailStart = content.head.size() + content.hole;
    for (uint32_t i = 0; i < n; ++i) {
        uint64_t at = position + i;
        bytes[i] = at < content.head.size() ? content.head[static_cast<size_t>(at)]
                   : at < tailStart         ? '\0'
                                            : content.tail[static_cast<size_t>(at - tailStart)];
    }
    return n;
}

} // namespace sim
