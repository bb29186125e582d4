// One line of the listing file: drive, label, serial, directory, name,
// extension, size in kilobytes, "kB" and the date-time text, joined by
// semicolons so that the file opens as a table. Lines are composed into a
// caller's buffer: listing a file takes no heap memory.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/date_time_text.h"

// Enough for the longest line and its line end: every text field quoted with
// all its characters doubled, the longest name and extension, 20 size digits
// and the date-time text.
constexpr int kListingLineCapacity = 8192;

// Names as the platform returns them are at most this long: 259 UTF-16
// units, which a double-byte code page writes in up to twice as many bytes
// (and UTF-8 as the ANSI page in up to three times).
constexpr int kLongestEntryName = 3 * 259;

struct ListingLineFields {
    std::string_view drive;     // "C:"
    std::string_view label;
    std::string_view serial;
    std::string_view directory; // "\Songs\Live\"
    std::string_view name;      // at most kLongestEntryName characters
    uint64_t size = 0;          // bytes
    DateTime when;
};

// Composes the line without its line end; returns its length.
int ComposeListingLine(char (&out)[kListingLineCapacity], const ListingLineFields &fields,
                       const DateTimeSettings &settings);

// The line in two steps, for a walk that lists many files of one directory:
// the head ("drive;label;serial;directory;", the same for all of them) once,
// then each file's rest after it. The head reads only drive, label, serial
// and directory; the rest only name, size and when. Each returns the length
// so far.
int ComposeListingHead(char (&out)[kListingLineCapacity], const ListingLineFields &fields);
int ComposeListingTail(char (&out)[kListingLineCapacity], int headLength, const ListingLineFields &fields,
                       const DateTimeSettings &settings);

// What follows the last "." of a name, unless a "/", "\" or ":" follows that
// "."; empty for a name without one and for a name ending in ".".
std::string_view FileExtension(std::string_view name);

// Bytes to kilobytes, halves going to the even neighbour (512 gives 0,
// 1536 gives 2, 2560 gives 2), exact for every 64-bit size.
uint64_t SizeInKilobytes(uint64_t size);

// A text field as it goes into the line: between double quotes, with every
// double quote doubled, when it holds a ";", a double quote, a carriage
// return or a line feed (so that the columns and the lines never shift);
// unchanged otherwise. Returns the end of what it wrote;
// out needs room for 2 * field.size() + 2 characters.
char *PutListingField(char *out, std::string_view field);
