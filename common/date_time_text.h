// Date-time texts of the listing lines, made from the locale's settings.
#pragma once

#include <cstdint>

// The locale's date and time settings as the listing reads them.
struct DateTimeSettings {
    char dateSeparator = '/';
    int dateOrder = 0;       // 1: day month year, 2: year month day, else month day year
    char timeSeparator = ':';
    int hourLeadingZero = 0; // not 0: hours below 10 get a leading zero
};

// A local calendar date and time; seconds come in steps of two.
struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// The packed form of FileTimeToDosDateTime: date in the high word, time in the low word.
DateTime DateTimeFromDos(uint16_t dosDate, uint16_t dosTime);

// A local FILETIME (100 ns ticks since 1601-01-01) taken apart by calendar
// arithmetic alone, seconds rounded down to even; for times the packed form cannot hold.
DateTime DateTimeFromFileTime(uint64_t fileTime);

// FILETIME of a calendar date and time (proleptic Gregorian, no time zone).
uint64_t FileTimeFromDateTime(const DateTime &when);

// Writes the date, and " hour:minute" unless the time is exactly midnight
// (with seconds in steps of two, 00:00:01 counts as midnight too). Returns
// the end of what it wrote; out needs room for 32 characters.
char *PutDateTime(char *out, const DateTime &when, const DateTimeSettings &settings);
