// The failure report: composes the "Error" boxes from fixed buffers only (it
// may run with memory exhausted or inside a processor fault), decides which
// processor faults become failures, and ends the process.
#include "shell/failure_report.h"

#include <cstring>
#include <new>

#include "common/number_text.h"
#include "platform/platform.h"

namespace {

constexpr size_t kReportCapacity = 1024;
constexpr int kMostCallerLines = 257;
constexpr int kMostFaultsInFlight = 16;

// The gathered report text; one byte more keeps it zero-terminated for the box.
char report[kReportCapacity + 1];
size_t reportFill = 0;

// Faults taken and not yet finished. A taken fault never comes back, so this
// only grows: it counts faults raised while a report is being shown.
int faultsInFlight = 0;

// Room for the captured chain: the report's callers plus the frames that are
// left out in front of them (ours, the platform's exception dispatch).
uintptr_t callChain[kMostCallerLines + 64];

// The buffer is emptied before the box goes up: a fault raised while the box
// runs the window's messages starts its own report, and the box has already
// taken its copy of the text by then.
void ShowGathered() {
    report[reportFill] = '\0';
    reportFill = 0;
    platform::ShowMessageBox(report, "Error");
}

// Appends what fits; the rest of the line is lost once the buffer is full.
void Append(const char *bytes, size_t size) {
    size_t room = kReportCapacity - reportFill;
    if (size > room) size = room;
    std::memcpy(report + reportFill, bytes, size);
    reportFill += size;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// A box goes up after an empty line (the gathered text then ends in three
// line-break bytes) or as soon as the buffer is full.
void EndReportLine() {
    Append("\r\n", 2);
    bool paragraphEnds = reportFill > 3 && IsLineBreak(report[reportFill - 1]) &&
                         IsLineBreak(report[reportFill - 2]) && IsLineBreak(report[reportFill - 3]);
    if (paragraphEnds || reportFill == kReportCapacity) ShowGathered();
}

void AppendAddressLine(uintptr_t address) {
    char line[4 + 8];
    std::memcpy(line, "  0x", 4);
    PutHex(line + 4, address, 8);
    Append(line, sizeof line);
    EndReportLine();
}

// The callers worth showing. The captured chain starts inside the report
// itself (and, for a processor fault, inside the platform's exception
// dispatch), so the callers shown are the frames beyond the raising address
// when that address is on the chain: a check's return address into the
// function that checked, the allocator's return address for exhausted
// memory, and the faulting instruction on x86-64 Windows and Wine, whose
// unwinder walks through the fault into the faulting function. Where the
// chain does not hold it (a 32-bit Wine or Windows follows frame pointers
// only, so the faulting function itself is missing) every captured frame is
// shown, the dispatch first and the program's callers after it. The chain
// ends at the first null, where the platform found no further caller; the
// last frames are the thread's start in the system libraries.
int CallersToShow(uintptr_t address, const uintptr_t *&first) {
    int count = platform::CaptureCallChain(callChain, static_cast<int>(sizeof callChain / sizeof callChain[0]), 0);
    int start = 0;
    for (int i = 0; i < count; ++i) {
        if (callChain[i] == address) {
            start = i + 1;
            break;
        }
    }
    int end = start;
    while (end < count && callChain[end] != 0) ++end;
    first = callChain + start;
    int shown = end - start;
    return shown > kMostCallerLines ? kMostCallerLines : shown;
}

bool TakeFault(uint32_t exceptionCode, uintptr_t address) {
    const char *message = FaultMessage(exceptionCode);
    if (message == nullptr || faultsInFlight >= kMostFaultsInFlight) return false;
    ++faultsInFlight;
    RaiseFailure(message, address);
}

// Operator new calls this when it finds no memory: the report is raised at
// the return address into the allocator, and the callers that follow name the
// code that asked for the memory.
[[gnu::noinline]] void OutOfMemory() {
    RaiseFailure("Out of memory", reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

} // namespace

void RaiseFailure(const char *message, uintptr_t address) {
    static const char kHead[] = "An unhandled exception occurred at 0x";
    char hex[8];
    PutHex(hex, address, 8);

    Append(kHead, sizeof kHead - 1);
    Append(hex, sizeof hex);
    Append(" :", 2);
    EndReportLine();

    Append(message, std::strlen(message));
    EndReportLine();

    AppendAddressLine(address);
    const uintptr_t *callers = nullptr;
    int count = CallersToShow(address, callers);
    for (int i = 0; i < count; ++i) AppendAddressLine(callers[i]);

    EndReportLine();
    EndProcess(217);
}

void InstallFaultHandler() {
    faultsInFlight = 0;
    platform::SetFaultHandler(TakeFault);
}

void RemoveFaultHandler() { platform::SetFaultHandler(nullptr); }

void PrepareOutOfMemory() { std::set_new_handler(OutOfMemory); }

void EndProcess(uint32_t exitCode) {
    if (reportFill > 0) ShowGathered();
    RemoveFaultHandler();
    platform::ExitProcess(exitCode);
}

const char *FaultMessage(uint32_t exceptionCode) {
    switch (exceptionCode) {
    case 0xC0000005: // access violation
    case 0xC000008D: // floating-point denormal operand
        return "Access violation";
    case 0xC0000094: // integer division by zero
    case 0xC000008E: // floating-point division by zero
        return "Division by zero";
    case 0xC0000095:
        return "Arithmetic overflow";
    case 0xC000008C: // array bounds exceeded
        return "Range check error";
    case 0xC0000090: // floating-point invalid operation
    case 0xC0000092: // floating-point stack check
        return "Invalid floating point operation";
    case 0xC0000091:
        return "Floating point overflow";
    case 0xC0000093:
        return "Floating point underflow";
    case 0xC00000FD: // stack overflow (a 64-bit Wine ends the process itself before any filter runs)
        return "Unknown Run-Time error : 202";
    case 0x80000004: // single step
    case 0xC0000006: // in-page error
    case 0xC000001D: // illegal instruction
    case 0xC0000096: // privileged instruction
        return "Unknown Run-Time error : 217";
    default:
        return nullptr;
    }
}
