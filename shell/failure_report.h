// The one way the program ends on a failure: a report in one or more "Error"
// boxes, then exit code 217. Also the common process end of every way out.
#pragma once

#include <cstdint>

// Reports message as raised at a code address, with the call chain of that
// moment, and ends the process. Never returns.
[[noreturn]] void RaiseFailure(const char *message, uintptr_t address);

// Processor faults of the table become failures with the table's message.
void InstallFaultHandler();
void RemoveFaultHandler();

// Makes "Out of memory" ready: a failed allocation raises it without needing memory.
void PrepareOutOfMemory();

// The process end: leftover report text shown, fault handler removed, ExitProcess.
[[noreturn]] void EndProcess(uint32_t exitCode);

// The message for a processor fault's exception code, or null when the fault
// is left to the platform.
const char *FaultMessage(uint32_t exceptionCode);
