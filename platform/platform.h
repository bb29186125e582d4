// The one seam between the program's logic and the operating system: only
// the operations the logic needs. platform/win32 implements them with the
// real ANSI Win32 calls; platform/sim with an in-memory machine for tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// ---- Volumes -------------------------------------------------------------

// What GetVolumeInformationA reports for a root path such as "D:\".
struct VolumeInfo {
    char label[260];
    uint32_t serial;
    char fileSystem[260];
};

// False when the volume cannot be probed (no drive, no medium, no answer).
bool QueryVolume(const char *rootPath, VolumeInfo &info);

// ---- Directory search ----------------------------------------------------

constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeSystem = 0x04;
constexpr uint32_t kAttributeVolumeLabel = 0x08;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint32_t kAttributeReparsePoint = 0x400;
// Junctions, mount points and symbolic links carry this bit in their reparse tag.
constexpr uint32_t kReparseTagNameSurrogate = 0x20000000;

// Room for a name's ANSI text: a long name has at most 259 UTF-16 units,
// and no ANSI code page takes more than three bytes for one.
constexpr int kAnsiNameCapacity = 3 * 259 + 1;

// One directory entry as the platform's wide search returns it.
struct FindEntry {
    uint32_t attributes;
    uint64_t lastWriteTime; // FILETIME, UTC
    uint64_t size;          // the full 64-bit size
    uint32_t reparseTag;    // meaningful only with kAttributeReparsePoint
    // The long name exactly as the file system holds it, zero-terminated:
    // the only text that addresses the entry whatever its characters.
    char16_t wideName[260];
    // Its text in the ANSI code page, as WideCharToMultiByte(CP_ACP, 0, ...)
    // gives it (and the ANSI search would report it): best-fit letters, "?"
    // for characters the page cannot hold. Zero-terminated.
    char name[kAnsiNameCapacity];
};

using SearchHandle = void *;

// Opens a wide search (FindFirstFileExW) on a pattern such as
// "\\?\D:\dir\*": the "\\?\" prefix makes the path reach the file system
// as it is, so trailing dots and spaces are kept and nothing is cut at 260
// characters. Null when nothing can be enumerated.
SearchHandle FindFirst(const char16_t *pattern, FindEntry &entry);
bool FindNext(SearchHandle search, FindEntry &entry);
// Harmless on a null handle.
void FindClose(SearchHandle search);

// ---- Times ---------------------------------------------------------------

// FileTimeToLocalFileTime. Near the ends of the FILETIME range Wine wraps
// round 2^64 and still reports success; the caller checks the result.
bool LocalFileTime(uint64_t utcFileTime, uint64_t &localFileTime);
// FileTimeToDosDateTime on a local FILETIME.
bool DosDateTime(uint64_t localFileTime, uint16_t &dosDate, uint16_t &dosTime);

// Milliseconds from some fixed start; wraps. Cheap enough to read for every
// file, but it moves in steps of 10 to 16 ms on Windows.
uint32_t TickCount();
// Microseconds from some fixed start, fine enough to time a call of a
// millisecond; dearer to read than TickCount.
uint64_t MicrosecondCount();
void Sleep(uint32_t milliseconds);

// ---- Locale --------------------------------------------------------------

// GetLocaleInfoA(GetThreadLocale(), type, ...). False when it fails.
bool LocaleValue(uint32_t type, char *buffer, int bufferSize);

// ---- Files ---------------------------------------------------------------

using FileHandle = void *;

enum class OpenMode {
    Read,   // GENERIC_READ, OPEN_EXISTING
    Create, // GENERIC_WRITE, CREATE_ALWAYS
    Append, // GENERIC_WRITE, OPEN_EXISTING; the position stays at 0 until the caller moves it
};

// Share mode 0, inheritable handle, FILE_ATTRIBUTE_NORMAL. Null on failure,
// with the platform's error code in error.
FileHandle OpenFile(const char *path, OpenMode mode, uint32_t &error);

enum class SeekOrigin : uint32_t { Begin = 0, Current = 1, End = 2 }; // FILE_BEGIN, FILE_CURRENT, FILE_END

// SetFilePointer: moves the position by distanceLow, or with distanceHigh by
// the signed 64-bit distance high:low, from the origin; newPosition receives
// the position reached. Without distanceHigh, a position that does not fit
// in 32 bits (a file of 4 GiB or more, from its end) fails on Windows and the
// position stays where it was; Wine moves there all the same. False on
// failure, with the platform's error code.
bool SetFilePointer(FileHandle file, int32_t distanceLow, int32_t *distanceHigh, SeekOrigin origin,
                    uint64_t &newPosition, uint32_t &error);
// False when the read fails; read tells how many bytes came (0 at the end).
bool ReadFile(FileHandle file, void *bytes, uint32_t size, uint32_t &read);
// False when the write fails; written tells how many bytes went out.
bool WriteFile(FileHandle file, const void *bytes, uint32_t size, uint32_t &written);
void CloseFile(FileHandle file);

// ---- User interface --------------------------------------------------------

using WindowHandle = void *;

// SendMessageA(window, SB_SETTEXTA, part, text); the result is not used.
void SendStatusText(WindowHandle statusWindow, uint32_t part, const char *text);
// Repaints what is invalid in the window now, without dispatching any message.
void RepaintNow(WindowHandle window);

// MessageBoxA(no owner, text, caption, MB_OK).
void ShowMessageBox(const char *text, const char *caption);

// ---- Process -----------------------------------------------------------------

[[noreturn]] void ExitProcess(uint32_t exitCode);

// Called for a processor fault nobody handled, with the exception code and the
// faulting code address. Returns false to leave the fault to the platform; a
// fault it takes never comes back.
using FaultHandler = bool (*)(uint32_t exceptionCode, uintptr_t address);
// SetUnhandledExceptionFilter; null removes the handler.
void SetFaultHandler(FaultHandler handler);

// Return addresses of the callers of the caller, innermost first, skipping
// `skip` further frames. Returns how many were stored.
int CaptureCallChain(uintptr_t *addresses, int capacity, int skip);

} // namespace platform
