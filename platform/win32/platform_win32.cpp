// The platform seam over the real Win32 API: ANSI calls throughout, but for
// the directory search, which asks by wide names and hands back their ANSI
// text too (faults and the call chain are in fault_win32.cpp).
#include "platform/platform.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

namespace platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

uint64_t Join(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) + low; }

// FindFirstFileExW levels and flags of Windows 7; older systems reject them
// with ERROR_INVALID_PARAMETER, and the walk then asks as FindFirstFileW does.
constexpr FINDEX_INFO_LEVELS kInfoBasic = static_cast<FINDEX_INFO_LEVELS>(1); // FindExInfoBasic: no short names
constexpr DWORD kLargeFetch = 2;                                                // FIND_FIRST_EX_LARGE_FETCH
bool basicSearchRefused = false;

// A 32-bit program on 64-bit Windows sees %windir%\SysWOW64 wherever it
// names %windir%\System32, "\\?\" paths included: a walk of C: would list
// the 32-bit directory twice and the real System32 never. Redirection is
// turned off for the calling thread only while a search is opened (the
// handle then enumerates the directory it was opened on), so that DLLs
// loaded meanwhile and the listing file keep the normal view. The two calls
// are absent from 32-bit Windows and from Windows before XP x64; a 64-bit
// program has no redirection, and the calls fail there.
using Wow64Disable = BOOL(WINAPI *)(PVOID *);
using Wow64Revert = BOOL(WINAPI *)(PVOID);
bool redirectionLookedUp = false;
Wow64Disable disableRedirection = nullptr;
Wow64Revert revertRedirection = nullptr;

void LookUpRedirection() {
    redirectionLookedUp = true;
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 == nullptr) return;
    disableRedirection = reinterpret_cast<Wow64Disable>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection")));
    revertRedirection = reinterpret_cast<Wow64Revert>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "Wow64RevertWow64FsRedirection")));
    if (revertRedirection == nullptr) disableRedirection = nullptr;
}

HANDLE OpenSearch(const wchar_t *path, WIN32_FIND_DATAW &data) {
    if (!redirectionLookedUp) LookUpRedirection();
    PVOID redirection = nullptr;
    bool unredirected = disableRedirection != nullptr && disableRedirection(&redirection);
    HANDLE search = INVALID_HANDLE_VALUE;
    if (!basicSearchRefused) {
        search = FindFirstFileExW(path, kInfoBasic, &data, FindExSearchNameMatch, nullptr, kLargeFetch);
        if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) basicSearchRefused = true;
    }
    if (basicSearchRefused) search = FindFirstFileW(path, &data);
    if (unredirected) revertRedirection(redirection);
    return search;
}

void FillEntry(const WIN32_FIND_DATAW &data, FindEntry &entry) {
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    entry.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    // dwReserved0 holds the reparse tag only for reparse points; Wine never
    // writes it, so the buffer is zeroed before each call.
    entry.reparseTag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;

    // Every ANSI code page holds ASCII as itself, so the common plain name
    // needs no conversion call.
    const wchar_t *wide = data.cFileName;
    bool ascii = true;
    int length = 0;
    for (; length < MAX_PATH - 1 && wide[length] != 0; ++length) {
        entry.wideName[length] = static_cast<char16_t>(wide[length]);
        entry.name[length] = static_cast<char>(wide[length]);
        ascii = ascii && wide[length] < 0x80;
    }
    entry.wideName[length] = 0;
    entry.name[length] = '\0';
    if (!ascii) {
        int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide, length, entry.name, kAnsiNameCapacity - 1, nullptr, nullptr);
        entry.name[ansiLength] = '\0';
    }
}

} // namespace

bool QueryVolume(const char *rootPath, VolumeInfo &info) {
    DWORD maximumComponentLength = 0;
    DWORD fileSystemFlags = 0;
    DWORD serial = 0;
    BOOL ok = GetVolumeInformationA(rootPath, info.label, 260, &serial, &maximumComponentLength,
                                    &fileSystemFlags, info.fileSystem, 260);
    info.serial = serial;
    return ok != 0;
}

SearchHandle FindFirst(const char16_t *pattern, FindEntry &entry) {
    WIN32_FIND_DATAW data;
    std::memset(&data, 0, sizeof data);
    HANDLE search = OpenSearch(reinterpret_cast<const wchar_t *>(pattern), data);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    FillEntry(data, entry);
    return search;
}

bool FindNext(SearchHandle search, FindEntry &entry) {
    WIN32_FIND_DATAW data;
    data.dwReserved0 = 0;
    if (!FindNextFileW(static_cast<HANDLE>(search), &data)) return false;
    FillEntry(data, entry);
    return true;
}

void FindClose(SearchHandle search) {
    if (search != nullptr) ::FindClose(static_cast<HANDLE>(search));
}

bool LocalFileTime(uint64_t utcFileTime, uint64_t &localFileTime) {
    FILETIME utc{static_cast<DWORD>(utcFileTime), static_cast<DWORD>(utcFileTime >> 32)};
    FILETIME local;
    if (!FileTimeToLocalFileTime(&utc, &local)) return false;
    localFileTime = Join(local.dwHighDateTime, local.dwLowDateTime);
    return true;
}

bool DosDateTime(uint64_t localFileTime, uint16_t &dosDate, uint16_t &dosTime) {
    FILETIME local{static_cast<DWORD>(localFileTime), static_cast<DWORD>(localFileTime >> 32)};
    WORD date = 0, time = 0;
    if (!FileTimeToDosDateTime(&local, &date, &time)) return false;
    dosDate = date;
    dosTime = time;
    return true;
}

uint32_t TickCount() { return GetTickCount(); }

uint64_t MicrosecondCount() {
    // The counter's frequency is fixed at boot.
    static uint64_t frequency = 0;
    if (frequency == 0) {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        frequency = static_cast<uint64_t>(value.QuadPart);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
    // In two parts, so that a counter of many days' uptime cannot overflow.
    return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

void Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

bool LocaleValue(uint32_t type, char *buffer, int bufferSize) {
    return GetLocaleInfoA(GetThreadLocale(), type, buffer, bufferSize) != 0;
}

FileHandle OpenFile(const char *path, OpenMode mode, uint32_t &error) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    DWORD access = mode == OpenMode::Read ? GENERIC_READ : GENERIC_WRITE;
    DWORD disposition = mode == OpenMode::Create ? CREATE_ALWAYS : OPEN_EXISTING;
    HANDLE file = CreateFileA(path, access, 0, &attributes, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    return file;
}

bool SetFilePointer(FileHandle file, int32_t distanceLow, int32_t *distanceHigh, SeekOrigin origin,
                    uint64_t &newPosition, uint32_t &error) {
    LONG high = distanceHigh != nullptr ? *distanceHigh : 0;
    // With a high word, a low result of 0xFFFFFFFF is a position like any
    // other: only the error code set alongside it tells a failure.
    SetLastError(NO_ERROR);
    DWORD low = ::SetFilePointer(static_cast<HANDLE>(file), distanceLow, distanceHigh != nullptr ? &high : nullptr,
                                 static_cast<DWORD>(origin));
    if (low == INVALID_SET_FILE_POINTER && (distanceHigh == nullptr || GetLastError() != NO_ERROR)) {
        error = GetLastError();
        return false;
    }
    if (distanceHigh != nullptr) *distanceHigh = high;
    newPosition = Join(static_cast<DWORD>(high), low);
    return true;
}

bool ReadFile(FileHandle file, void *bytes, uint32_t size, uint32_t &read) {
    DWORD done = 0;
    BOOL ok = ::ReadFile(static_cast<HANDLE>(file), bytes, size, &done, nullptr);
    read = done;
    return ok != 0;
}

bool WriteFile(FileHandle file, const void *bytes, uint32_t size, uint32_t &written) {
    DWORD done = 0;
    BOOL ok = ::WriteFile(static_cast<HANDLE>(file), bytes, size, &done, nullptr);
    written = done;
    return ok != 0;
}

void CloseFile(FileHandle file) { CloseHandle(static_cast<HANDLE>(file)); }

void SendStatusText(WindowHandle statusWindow, uint32_t part, const char *text) {
    SendMessageA(static_cast<HWND>(statusWindow), SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}

void RepaintNow(WindowHandle window) { UpdateWindow(static_cast<HWND>(window)); }

void ShowMessageBox(const char *text, const char *caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

void ExitProcess(uint32_t exitCode) { ::ExitProcess(exitCode); }

} // namespace platform
