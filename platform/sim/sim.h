// The simulated machine behind platform.h in host tests: volumes, directory
// trees with attributes, sizes and times, files with real bytes, a locale, a
// time zone, a clock, and faults injected by call count. It also records what
// the program asked of it (writes, boxes, status texts, the exit code).
//
// Paths are Windows paths ("D:\Songs\song.mp3") in UTF-8; two names that
// differ only in letter case are two entries, and a path that matches no
// name exactly finds one that differs only in case, as under Wine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_time_text.h"

namespace sim {

// Back to a bare machine: no volumes, no files, default locale, no faults, no records.
void Reset();

// ---- Volumes and trees -----------------------------------------------------

// A volume at letter:, with an empty root directory.
void AddVolume(char letter, std::string_view label, uint32_t serial, std::string_view fileSystem = "NTFS");
// The letter answers no volume probe (an empty removable drive), though its tree stays.
void FailVolumeProbe(char letter);
// Only the k-th probe of the letter from now (1 is the next) fails. The drive
// table probes each letter twice, its serial first and then its label: 1 makes
// a drive that answers only the label probe, 2 one that answers only the serial probe.
void FailOneVolumeProbe(char letter, int k);

// Parents are made as needed. Entries are enumerated in the order they were added.
void AddDirectory(std::string_view path, uint32_t attributes = 0x10, uint32_t reparseTag = 0);
void AddFile(std::string_view path, uint64_t size, uint64_t lastWriteUtc, uint32_t attributes = 0x20);
// A directory whose search cannot be opened (access denied).
void MakeUnreadable(std::string_view path);
// The patterns FindFirst was given, in UTF-8, in the order they came.
const std::vector<std::string> &SearchPatterns();

// The ANSI code page the search converts names into: 1252 (the default) or
// 932 (Japanese, double-byte). See sim_code_page.cpp for what each holds.
void SetCodePage(int codePage);

// UTC FILETIME of a calendar time.
uint64_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// DosDateTime as Wine does it: from 2108 on the year wraps (2108 gives 1980)
// instead of the call failing.
void WrapDosYearsLikeWine(bool wraps);

// ---- Time, clock, locale --------------------------------------------------------

// Local time = UTC + offset (no daylight saving).
void SetTimeZoneOffsetMinutes(int minutes);
// One clock, in microseconds. Every TickCount call advances it by this many
// milliseconds (the walk reads it once a file); Sleep advances it by what was
// asked; MicrosecondCount only reads it. The default, 100, is a slow machine
// on which every file's path reaches the status bar; 0 is an infinitely fast one.
void SetTickStep(uint32_t milliseconds);
// Every status text advances the clock by this much: what SB_SETTEXTA and its
// repaint cost. The default is 0.
void SetStatusTextMicroseconds(uint32_t microseconds);
uint32_t SleptMilliseconds();

// A locale value for GetLocaleInfoA; types never set make the call fail.
void SetLocaleValue(uint32_t type, std::string_view value);
// GetLocaleInfoA of this type fails from now on.
void RemoveLocaleValue(uint32_t type);
// The four values of the listing's date-time text at once.
void SetDateTimeLocale(std::string_view dateSeparator, std::string_view dateOrder,
                       std::string_view timeSeparator, std::string_view hourLeadingZero);

// ---- Files ---------------------------------------------------------------------

// A file with these bytes (its directory is made as needed).
void PutFile(std::string_view path, std::string_view bytes);
// A sparse file of head, holeBytes zero bytes and tail, as `truncate`
// leaves one: a file of 4 GiB and more that takes no memory. Its hole
// cannot be written.
void PutSparseFile(std::string_view path, std::string_view head, uint64_t holeBytes, std::string_view tail);
bool FileExists(std::string_view path);
// The whole file: not for a sparse one with a large hole.
std::string FileBytes(std::string_view path);
uint64_t FileSize(std::string_view path);
// Up to count bytes from offset.
std::string FileRange(std::string_view path, uint64_t offset, uint64_t count);
// Opens for writing fail with error 5 (a read-only file).
void MakeReadOnly(std::string_view path);
// Another program holds the file open without sharing: every open fails with 32.
void LockFile(std::string_view path);
// Every open of this path fails with this platform error code.
void FailOpen(std::string_view path, uint32_t errorCode);

// Every SetFilePointer on this file fails with this platform error code.
void FailSeek(std::string_view path, uint32_t errorCode);

// The k-th platform write from now (1 is the next) fails, writing nothing;
// with persist, every write from then on fails too.
void FailWrite(int k, bool persist = false);
// The k-th platform write from now writes only `bytes` bytes and reports success.
void ShortWrite(int k, uint32_t bytes);

struct WriteRecord {
    std::string path;
    std::string bytes; // what was asked to be written
};
const std::vector<WriteRecord> &Writes();
int OpenFileCount(); // handles not yet closed

// ---- User interface and process ------------------------------------------------------

struct BoxRecord {
    std::string text;
    std::string caption;
};
const std::vector<BoxRecord> &Boxes();
// Runs once while each box is shown, as the messages a modal box dispatches
// would run (a fault raised there is nested in the box's report). Null: nothing.
void SetBoxShownAction(void (*action)());

struct StatusRecord {
    void *window;
    uint32_t part;
    std::string text;
};
const std::vector<StatusRecord> &StatusTexts();
int RepaintCount();

// Thrown by platform::ExitProcess so that a test can see how the process ended.
struct ProcessExit {
    uint32_t exitCode;
};

// A processor fault reaching the installed fault handler, as the platform's
// unhandled-exception filter would deliver it. False when there is no handler
// or it left the fault to the platform.
bool RaiseProcessorFault(uint32_t exceptionCode, uintptr_t address);
bool FaultHandlerInstalled();

// The call chain CaptureCallChain reports, innermost first.
void SetCallChain(std::vector<uintptr_t> addresses);

// The k-th allocation through operator new from now fails (1 is the next), once.
// Only test programs that link sim_new.cpp honour it.
void FailAllocation(int k);
bool TakeAllocationFailure();

} // namespace sim
