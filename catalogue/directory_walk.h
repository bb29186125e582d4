// The walk of one drive's directory tree: depth first and pre-order, in the
// order the platform returns entries, one listing line per file written to
// ListingFile and each file's path shown as progress. Also the locale's date
// and time settings that the lines' date-time texts follow.
#pragma once

#include <cstdint>
#include <string>

#include "common/date_time_text.h"
#include "common/string255.h"
#include "platform/platform.h"

// ---- Date and time settings -------------------------------------------------

// Read once at start-up; the lines of every drive command follow them.
extern DateTimeSettings ListingDateTime;

// Reads the date separator, date order, time separator and hour leading zero
// of the starting thread's locale. A separator that is not exactly one
// character gives "/" or ":"; a number that cannot be read gives 0.
void ReadDateTimeSettings();

// ---- Walk state ----------------------------------------------------------

// The drive being listed: its letter and a colon ("C:"), zero-terminated.
extern char CurrentDrive[3];
// The directory being walked, from the drive root: "\" or "\Songs\Live\",
// in the ANSI code page. It never exceeds 255 bytes: deeper directories are
// not entered.
extern String255 CurrentDir;

// The same directory as the wide search addresses it: "\\?\D:\" followed by
// the exact wide names the searches returned, each with its backslash. The
// ANSI text only shows a name (best fit and "?" stand in for what the code
// page cannot hold); this path reaches the directory itself, trailing dots
// and spaces and letter case kept.
constexpr int kWideDirCapacity = 1024;
extern char16_t CurrentWideDir[kWideDirCapacity];
extern int CurrentWideDirLength; // units, without the terminating zero

// Attributes that a search delivers: everything, hidden and system entries,
// directories and the dot entries included.
constexpr uint32_t kWalkAttributeMask = 0x3F;

// No packed form: the local time lies before 1980 or after 2107.
constexpr uint32_t kNoPackedTime = 0xFFFFFFFF;

// A directory search and its current entry.
struct TSEARCHREC {
    uint32_t EntryTime;           // local last-write time, DOS date in the high word and time in the low; or kNoPackedTime
    uint64_t EntrySize;           // the full size in bytes
    uint32_t EntryAttributes;
    std::string EntryName;        // the long name's ANSI text; its room is taken once per node
    uint32_t ExcludeMask;         // entries with any of these attributes are skipped
    platform::SearchHandle SearchHandle;
    platform::FindEntry FindData; // the entry as the platform returned it
};

// One node per directory level, made on the way down and released by the
// walk of its level on the way back.
struct INFOLISTE {
    INFOLISTE *Link; // the enclosing level's node; null for the root
    TSEARCHREC Search;
    // The lengths of CurrentDir and CurrentWideDir while this level is walked,
    // to which the level below cuts them back: in a double-byte code page the
    // second byte of a character can be a backslash, so CurrentDir cannot be
    // cut back at its last one.
    int DirLength;
    int WideDirLength;
};

INFOLISTE *NewWalkNode(INFOLISTE *link);
void ReleaseWalkNode(INFOLISTE *node);
// Nodes made and not yet released.
int32_t LiveWalkNodes();

// ---- Search ----------------------------------------------------------------

// Opens a wide search on a pattern ("\\?\D:\Songs\*"); false when nothing
// can be enumerated. The current entry is taken into the record's Entry
// fields, its name as ANSI text.
bool FindFirstEntry(const char16_t *pattern, uint32_t attributeMask, TSEARCHREC &search);
bool FindNextEntry(TSEARCHREC &search);
// Harmless after a failed open.
void FindCloseEntry(TSEARCHREC &search);

// The local date and time of the current entry: from the packed form, or
// where that cannot hold it, from the full local time (seconds rounded down
// to even).
DateTime EntryDateTime(const TSEARCHREC &search);

// ---- Walk ------------------------------------------------------------------

// Whether the walk descends into the current entry, a directory. Its wide
// name decides: not a dot directory, not "Recycled" (exactly), not a link
// (see the definition), not a name that cannot address its directory (a
// backslash, slash, colon, wildcard, quote, "<", ">" or "|" in it). Its ANSI
// text decides the depth: not so deep that CurrentDir would exceed 255 bytes.
bool EntersDirectory(const TSEARCHREC &search);

// Walks CurrentDrive + CurrentDir and everything below it, writing to the
// open ListingFile. On return CurrentDir is back to the enclosing level's
// path (for the root, unchanged) and node has been released. A failed
// line check ends the process. A node without a Link starts a walk: its
// wide path is made from CurrentDrive and CurrentDir, read as ASCII ("\"
// for a drive's root).
void WalkDirectory(INFOLISTE *node);
