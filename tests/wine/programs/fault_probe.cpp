// Ends itself through the real failure report in one of several ways, so
// that a test can read the boxes and the exit code:
//   fault_probe access | divide | stack | check | memory | exhaust | deep
// Before it fails it prints where its functions start, one per line as
// "<name> 0x<address>", so that a test can tell which function each address
// of the report lies in: the failure is raised in Fail, called from Middle,
// called from Outer. "deep" fails a check 100 calls further down, for a
// report longer than one box. "memory" asks for more than any address space
// holds; "exhaust" first takes all the address space there is (32-bit only:
// a 64-bit probe exits with 3).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "catalogue/text_file.h"
#include "shell/failure_report.h"

namespace {

// Opaque to the optimiser, so that the deliberate faults are not removed.
int *volatile nowhere = nullptr;
volatile int zero = 0;
volatile int sink = 0;

using Failing = void (*)();

[[gnu::noinline]] void AccessViolation() { *nowhere = 1; }

[[gnu::noinline]] void DivisionByZero() { sink = 100 / zero; }

// The store after the call keeps it from becoming a loop; the bottom is
// never reached.
volatile int bottom = -1;
[[gnu::noinline]] int Recurse(int depth) {
    if (depth == bottom) return 0;
    volatile char frame[512];
    frame[depth & 511] = static_cast<char>(depth);
    int deeper = Recurse(depth + 1);
    sink = frame[depth & 511];
    return deeper;
}

// A shown, active window of this thread first, as the program's main window
// is when a drive command overflows: the report's box, on a thread of its
// own, must not wait on this thread, which no longer answers.
[[gnu::noinline]] void StackOverflow() {
    HWND window = CreateWindowA("STATIC", "fault_probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window);
    UpdateWindow(window);
    sink = Recurse(0);
}

[[gnu::noinline]] void CheckOnAClosedFile() {
    static TextFile never;
    Bind(never, "c:\\bed\\never-opened.txt");
    Close(never);
    Check();
    sink = 1;
}

// More than any address space can give, 32-bit or 64-bit: operator new finds
// no memory. The block is kept where the optimiser cannot see, or it may drop
// the allocation.
volatile size_t hugeSize = static_cast<size_t>(-1) - 0xFFFF;
char *volatile block = nullptr;
[[gnu::noinline]] void OutOfMemory() {
    block = new char[hugeSize];
    sink = 4;
}

// All the address space there is, taken in 1 MiB and then 64 KiB pieces
// (reserved, never committed, so the machine's memory is not used); then an
// allocation fails and the report has to come up with nothing to spare. A
// window made first loads the display driver, as the program's own window has
// by the time a walk runs out of memory. A 64-bit process gives up after
// 4 GiB, long before its address space ends.
[[gnu::noinline]] void ExhaustMemory() {
    CreateWindowA("STATIC", "fault_probe", 0, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    uint64_t taken = 0;
    for (size_t piece : {size_t{1} << 20, size_t{1} << 16}) {
        while (taken < (uint64_t{1} << 32) && VirtualAlloc(nullptr, piece, MEM_RESERVE, PAGE_NOACCESS) != nullptr)
            taken += piece;
    }
    if (taken >= (uint64_t{1} << 32)) std::exit(3);
    block = new char[1 << 20];
    sink = 5;
}

[[gnu::noinline]] void CheckDeepDown(int depth) {
    if (depth == 0) {
        CheckOnAClosedFile();
        return;
    }
    CheckDeepDown(depth - 1);
    sink = depth;
}

[[gnu::noinline]] void CheckAHundredCallsDown() { CheckDeepDown(100); }

// Something after each call keeps the calls from becoming jumps, so that
// every function keeps its frame on the call chain.
Failing fail = nullptr;
[[gnu::noinline]] void Middle() {
    fail();
    sink = 2;
}
[[gnu::noinline]] void Outer() {
    Middle();
    sink = 3;
}

void PrintStart(const char *name, const void *address) {
    std::printf("%s 0x%08llX\n", name, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
}

} // namespace

int main(int argc, char **argv) {
    InstallFaultHandler();
    PrepareOutOfMemory();
    const char *mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "access") == 0) fail = AccessViolation;
    else if (std::strcmp(mode, "divide") == 0) fail = DivisionByZero;
    else if (std::strcmp(mode, "stack") == 0) fail = StackOverflow;
    else if (std::strcmp(mode, "check") == 0) fail = CheckOnAClosedFile;
    else if (std::strcmp(mode, "memory") == 0) fail = OutOfMemory;
    else if (std::strcmp(mode, "exhaust") == 0) fail = ExhaustMemory;
    else if (std::strcmp(mode, "deep") == 0) fail = CheckAHundredCallsDown;
    else {
        std::fprintf(stderr, "usage: fault_probe access|divide|stack|check|memory|exhaust|deep\n");
        return 2;
    }
    PrintStart("Fail", reinterpret_cast<const void *>(fail));
    PrintStart("Middle", reinterpret_cast<const void *>(Middle));
    PrintStart("Outer", reinterpret_cast<const void *>(Outer));
    PrintStart("main", reinterpret_cast<const void *>(main));
    std::fflush(stdout);
    Outer();
    return 0;
}
