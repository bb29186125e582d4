// The drive command on the host, over a computed tree of any size: how long
// the program's own work takes per file, and how much memory a listing needs
// (heap, stack, resident set) as the number of files and the depth grow.
//
//   listing_bench [--files N] [--directories N] [--fanout N] [--chain DEPTH]
//
// Prints one "key value" pair per line; bench/run reads them. The checksum
// of the listing's bytes lets a change to the program be shown to leave the
// listing as it was.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "bench/generated_machine.h"
#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"

namespace {

// Heap use, counted by the replaced operator new below.
size_t liveBytes = 0;
size_t peakBytes = 0;
uint64_t allocations = 0;

// Each block carries its size in front of it.
constexpr size_t kHeader = alignof(std::max_align_t);

long ResidentPeakKilobytes() {
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, "VmHWM:", 6) == 0) kilobytes = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kilobytes;
}

double Seconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int64_t Number(const char *text) {
    char *end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || value < 0) {
        std::fprintf(stderr, "listing_bench: not a number: %s\n", text);
        std::exit(2);
    }
    return value;
}

} // namespace

void *operator new(std::size_t size) {
    void *block = std::malloc(size + kHeader);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<size_t *>(block) = size;
    liveBytes += size;
    if (liveBytes > peakBytes) peakBytes = liveBytes;
    allocations++;
    return static_cast<char *>(block) + kHeader;
}

void operator delete(void *pointer) noexcept {
    if (pointer == nullptr) return;
    char *block = static_cast<char *>(pointer) - kHeader;
    liveBytes -= *reinterpret_cast<size_t *>(block);
    std::free(block);
}

void *operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void *pointer) noexcept { operator delete(pointer); }
void operator delete(void *pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete[](void *pointer, std::size_t) noexcept { operator delete(pointer); }

int main(int argc, char **argv) {
    generated::TreeShape shape;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0) shape.files = Number(argv[i + 1]);
        else if (std::strcmp(argv[i], "--directories") == 0) shape.directories = Number(argv[i + 1]);
        else if (std::strcmp(argv[i], "--fanout") == 0) shape.fanout = static_cast<int>(Number(argv[i + 1]));
        else if (std::strcmp(argv[i], "--chain") == 0) shape.chainDepth = static_cast<int>(Number(argv[i + 1]));
        else {
            std::fprintf(stderr, "usage: listing_bench [--files N] [--directories N] [--fanout N] [--chain DEPTH]\n");
            return 2;
        }
    }
    if (argc % 2 == 0 || shape.fanout < 1) {
        std::fprintf(stderr, "usage: listing_bench [--files N] [--directories N] [--fanout N] [--chain DEPTH]\n");
        return 2;
    }
    generated::SetTree(shape);
    ReadDateTimeSettings();
    ScanDrives();

    char stackBase;
    size_t heapBefore = liveBytes;
    peakBytes = liveBytes;
    uint64_t allocationsBefore = allocations;
    double started = Seconds();
    WriteDriveListing(104);
    double seconds = Seconds() - started;

    std::printf("files %lld\n", static_cast<long long>(shape.files));
    std::printf("directories %lld\n", static_cast<long long>(shape.directories + shape.chainDepth + 1));
    std::printf("depth %d\n", generated::TreeDepth());
    std::printf("widest %lld\n", static_cast<long long>(generated::WidestDirectory()));
    std::printf("lines %llu\n", static_cast<unsigned long long>(generated::ListingLines()));
    std::printf("bytes %llu\n", static_cast<unsigned long long>(generated::ListingBytes()));
    std::printf("checksum %016llx\n", static_cast<unsigned long long>(generated::ListingChecksum()));
    std::printf("status-texts %llu\n", static_cast<unsigned long long>(generated::StatusTexts()));
    std::printf("repaints %llu\n", static_cast<unsigned long long>(generated::Repaints()));
    std::printf("seconds %.3f\n", seconds);
    std::printf("files-per-second %.0f\n", seconds > 0 ? static_cast<double>(shape.files) / seconds : 0.0);
    std::printf("most-open-searches %d\n", generated::MostOpenSearches());
    std::printf("heap-peak-bytes %zu\n", peakBytes - heapBefore);
    std::printf("heap-left-bytes %zu\n", liveBytes - heapBefore);
    std::printf("allocations %llu\n", static_cast<unsigned long long>(allocations - allocationsBefore));
    std::printf("stack-bytes %llu\n", static_cast<unsigned long long>(
                                          reinterpret_cast<uintptr_t>(&stackBase) - generated::LowestStackAddress()));
    std::printf("live-walk-nodes %d\n", LiveWalkNodes());
    std::printf("resident-peak-kib %ld\n", ResidentPeakKilobytes());
    return 0;
}
