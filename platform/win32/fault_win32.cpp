// Processor faults and the call chain: the unhandled-exception filter that
// hands faults to the failure report, also when the fault has used up the
// stack the report would run on.
#include "platform/platform.h"

#include <windows.h>

namespace platform {

namespace {

FaultHandler faultHandler = nullptr;

// A stack overflow is raised when the thread's stack is down to its last
// page; the report's message box needs far more than that. So the report of a
// stack overflow runs on a thread of its own while the overflowing one waits;
// its call chain is taken on the overflowing thread first, where it was
// raised. Windows keeps more than a page back for the filter when asked
// (SetThreadStackGuarantee); Wine 8 keeps one page whatever it is asked, which
// is enough for the 32-bit filter to start that thread. A 64-bit Wine 8 needs
// more than the page to deliver the fault at all and ends the process itself.
constexpr ULONG kStackKeptForFilter = 64 * 1024;
constexpr int kChainCapacity = 320;
void *takenChain[kChainCapacity];
int takenChainLength = -1; // -1: no chain taken, CaptureCallChain takes its own

struct Fault {
    FaultHandler handler;
    DWORD code;
    uintptr_t address;
};

DWORD WINAPI ReportOnItsOwnThread(void *parameter) {
    const Fault &fault = *static_cast<const Fault *>(parameter);
    fault.handler(fault.code, fault.address); // a fault it takes ends the process here
    return 0;
}

LONG WINAPI UnhandledExceptionFilterEntry(EXCEPTION_POINTERS *pointers) {
    static Fault fault;
    FaultHandler handler = faultHandler;
    const EXCEPTION_RECORD *record = pointers->ExceptionRecord;
    if (handler == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    auto address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    if (record->ExceptionCode != EXCEPTION_STACK_OVERFLOW)
        return handler(record->ExceptionCode, address) ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;

    // Frame 0 is this filter, as CaptureCallChain's own frame would be.
    takenChainLength = RtlCaptureStackBackTrace(0, kChainCapacity, takenChain, nullptr);
    fault = Fault{handler, record->ExceptionCode, address};
    HANDLE thread = CreateThread(nullptr, 0, ReportOnItsOwnThread, &fault, 0, nullptr);
    if (thread != nullptr) {
        // Comes back only when the handler left the fault to the platform.
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    takenChainLength = -1;
    return EXCEPTION_CONTINUE_SEARCH;
}

// Missing from 32-bit Windows XP's kernel32; looked up by name so that the
// program still starts there.
void KeepStackForFilter() {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 == nullptr) return;
    using Guarantee = BOOL(WINAPI *)(PULONG);
    auto guarantee = reinterpret_cast<Guarantee>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "SetThreadStackGuarantee")));
    ULONG size = kStackKeptForFilter;
    if (guarantee != nullptr) guarantee(&size);
}

} // namespace

void SetFaultHandler(FaultHandler handler) {
    faultHandler = handler;
    if (handler != nullptr) KeepStackForFilter();
    SetUnhandledExceptionFilter(handler != nullptr ? UnhandledExceptionFilterEntry : nullptr);
}

int CaptureCallChain(uintptr_t *addresses, int capacity, int skip) {
    // RtlCaptureStackBackTrace walks the frame-pointer chain (the program is
    // built with frame pointers). Frame 0 is this function, 1 its caller.
    static void *frames[kChainCapacity];
    if (capacity > kChainCapacity) capacity = kChainCapacity;
    void *const *chain = frames;
    int n;
    if (takenChainLength >= 0) {
        chain = takenChain;
        n = takenChainLength < capacity ? takenChainLength : capacity;
    } else {
        n = RtlCaptureStackBackTrace(static_cast<DWORD>(2 + skip), static_cast<DWORD>(capacity), frames, nullptr);
    }
    for (int i = 0; i < n; ++i) addresses[i] = reinterpret_cast<uintptr_t>(chain[i]);
    return n;
}

} // namespace platform
