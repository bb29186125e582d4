#include "common/date_time_text.h"

#include "common/number_text.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsPerDay = 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 to the civil date (H. Hinnant's algorithm).
void CivilFromDays(int64_t z, int &year, int &month, int &day) {
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

int64_t DaysFromCivil(int year, int month, int day) {
    int64_t y = year - (month <= 2);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// "00" to "99": every line writes five or six such pairs.
struct TwoDigitTable {
    char digits[200];
};
constexpr TwoDigitTable MakeTwoDigitTable() {
    TwoDigitTable table{};
    for (int i = 0; i < 100; ++i) {
        table.digits[2 * i] = static_cast<char>('0' + i / 10);
        table.digits[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return table;
}
constexpr TwoDigitTable kTwoDigits = MakeTwoDigitTable();

// The last two digits; the fields of a date and time are never negative.
char *PutTwoDigits(char *out, int value) {
    const char *pair = kTwoDigits.digits + 2 * (static_cast<unsigned>(value) % 100);
    out[0] = pair[0];
    out[1] = pair[1];
    return out + 2;
}

char *PutYear(char *out, int year) {
    if (year >= 0 && year < 10000) return PutTwoDigits(PutTwoDigits(out, year / 100), year % 100);
    return PutDecimal(out, year);
}

} // namespace

DateTime DateTimeFromDos(uint16_t dosDate, uint16_t dosTime) {
    DateTime when;
    when.year = 1980 + (dosDate >> 9);
    when.month = (dosDate >> 5) & 0x0F;
    when.day = dosDate & 0x1F;
    when.hour = dosTime >> 11;
    when.minute = (dosTime >> 5) & 0x3F;
    when.second = (dosTime & 0x1F) * 2;
    return when;
}

DateTime DateTimeFromFileTime(uint64_t fileTime) {
    uint64_t seconds = fileTime / kTicksPerSecond;
    int64_t days = static_cast<int64_t>(seconds / kSecondsPerDay) - kDaysFrom1601To1970;
    int64_t secondOfDay = static_cast<int64_t>(seconds % kSecondsPerDay);
    DateTime when;
    CivilFromDays(days, when.year, when.month, when.day);
    when.hour = static_cast<int>(secondOfDay / 3600);
    when.minute = static_cast<int>(secondOfDay / 60 % 60);
    when.second = static_cast<int>(secondOfDay % 60) & ~1;
    return when;
}

uint64_t FileTimeFromDateTime(const DateTime &when) {
    int64_t days = DaysFromCivil(when.year, when.month, when.day) + kDaysFrom1601To1970;
    int64_t seconds = days * kSecondsPerDay + when.hour * 3600 + when.minute * 60 + when.second;
    return static_cast<uint64_t>(seconds) * kTicksPerSecond;
}

char *PutDateTime(char *out, const DateTime &when, const DateTimeSettings &settings) {
    char separator = settings.dateSeparator;
    switch (settings.dateOrder) {
    case 1:
        out = PutTwoDigits(out, when.day);
        *out++ = separator;
        out = PutTwoDigits(out, when.month);
        *out++ = separator;
        out = PutYear(out, when.year);
        break;
    case 2:
        out = PutYear(out, when.year);
        *out++ = separator;
        out = PutTwoDigits(out, when.month);
        *out++ = separator;
        out = PutTwoDigits(out, when.day);
        break;
    default:
        out = PutTwoDigits(out, when.month);
        *out++ = separator;
        out = PutTwoDigits(out, when.day);
        *out++ = separator;
        out = PutYear(out, when.year);
        break;
    }
    if (when.hour == 0 && when.minute == 0 && when.second < 2) return out;
    *out++ = ' ';
    if (settings.hourLeadingZero != 0 || when.hour >= 10)
        out = PutTwoDigits(out, when.hour);
    else
        *out++ = static_cast<char>('0' + when.hour);
    *out++ = settings.timeSeparator;
    return PutTwoDigits(out, when.minute);
}
