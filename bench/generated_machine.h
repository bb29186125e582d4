// A machine for the host benchmarks: platform.h over a directory tree that is
// computed, not stored, so that a walk of a million files costs the machine
// no memory and little time, and what the process uses is the program's own.
// Drive D: holds the tree; the listing file on C: is a sink that counts its
// bytes and lines and keeps a checksum of them.
#pragma once

#include <cstdint>

namespace generated {

struct TreeShape {
    int64_t files = 100000;
    // Directories besides the root and the deep chain, each with `fanout`
    // subdirectories at most (a complete tree, breadth first).
    int64_t directories = 1100;
    int fanout = 8;
    // A chain of single directories this deep hangs from the root; it sets the
    // tree's depth as long as it is deeper than the rest of the tree.
    int chainDepth = 12;
};

// Also forgets the listing file and everything counted.
void SetTree(const TreeShape &shape);
// The depth of the deepest directory (the root is 0).
int TreeDepth();
// The most subdirectories any one directory holds.
int64_t WidestDirectory();

// What the program wrote to the listing file.
uint64_t ListingBytes();
uint64_t ListingLines();
uint64_t ListingChecksum(); // FNV-1a over all bytes, in order

uint64_t StatusTexts();
uint64_t Repaints();
// The most searches open at once: the walk's deepest nesting.
int MostOpenSearches();
// The lowest stack address seen in any platform call.
uintptr_t LowestStackAddress();

} // namespace generated
