// The walk of one drive's directory tree: depth first and pre-order, in the
// order the platform returns entries, one listing line per file written to
// ListingFile and each file's path shown as progress. Also the locale's date
// and time settings that the lines' date-time texts follow.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

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
// The directory being walked, from the drive root: "\" or "\Songs\Live\".
// It never exceeds 255 characters: deeper directories are not entered.
extern String255 CurrentDir;

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
    std::string EntryName;        // the long name; its room is taken once per node
    uint32_t ExcludeMask;         // entries with any of these attributes are skipped
    platform::SearchHandle SearchHandle;
    platform::FindEntry FindData; // the entry as the platform returned it
};

// One node per directory level, made on the way down and released by the
// walk of its level on the way back.
struct INFOLISTE {
    INFOLISTE *Link; // the enclosing level's node; null for the root
    TSEARCHREC Search;
    // The subdirectories entered from this level, names letter-case folded:
    // the ANSI names of two directories can be the same (best-fit mapping
    // turns "Ādir" into "Adir"), and then the path of the second leads into
    // the first.
    std::unordered_set<std::string> EnteredNames;
};

INFOLISTE *NewWalkNode(INFOLISTE *link);
void ReleaseWalkNode(INFOLISTE *node);
// Nodes made and not yet released.
int32_t LiveWalkNodes();

// ---- Search ----------------------------------------------------------------

// Opens a search on a pattern; false when nothing can be enumerated. The
// current entry is taken into the record's Entry fields.
bool FindFirstEntry(const char *pattern, uint32_t attributeMask, TSEARCHREC &search);
bool FindNextEntry(TSEARCHREC &search);
// Harmless after a failed open.
void FindCloseEntry(TSEARCHREC &search);

// The local date and time of the current entry: from the packed form, or
// where that cannot hold it, from the full local time (seconds rounded down
// to even).
DateTime EntryDateTime(const TSEARCHREC &search);

// ---- Walk ------------------------------------------------------------------

// Whether the walk descends into the current entry, a directory: not a dot
// directory, not "Recycled" (exactly), not a link (see the definition), not
// a name that cannot address its directory (a backslash, slash, colon,
// wildcard, quote, "<", ">" or "|" in it), and
// not so deep that CurrentDir would exceed 255 characters.
bool EntersDirectory(const TSEARCHREC &search);

// Whether no directory of this name (letter case aside) has been entered
// from this level yet; if so, it is noted as entered.
bool FirstOfItsName(INFOLISTE &node, const std::string &name);

// Walks CurrentDrive + CurrentDir and everything below it, writing to the
// open ListingFile. On return CurrentDir is back to the enclosing level's
// path (for the root, unchanged) and node has been released. A failed
// line check ends the process.
void WalkDirectory(INFOLISTE *node);
