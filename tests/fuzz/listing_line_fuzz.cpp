// libFuzzer target over listing lines: any drive letter, label, serial,
// directory, name, size, time and locale separators are composed into a line,
// which must then read back, the way a semicolon-separated table reader
// honouring double quotes reads it, as exactly nine fields holding what went
// in. A line that reads back any other way is a lost or corrupted line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/listing_line.h"
#include "common/date_time_text.h"

namespace {

// One record of a semicolon-separated table, strictly: a field is either
// plain (no ";", double quote, CR or LF in it) or wholly between double
// quotes with inner quotes doubled. A CR or LF outside quotes would end the
// record, so here it is an error. False when the text is not one such record.
bool ReadRecord(std::string_view text, std::vector<std::string> &fields) {
    fields.clear();
    size_t at = 0;
    for (;;) {
        std::string field;
        if (at < text.size() && text[at] == '"') {
            ++at;
            for (;;) {
                if (at >= text.size()) return false; // no closing quote
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += text[at++];
            }
            if (at < text.size() && text[at] != ';') return false; // text after the closing quote
        } else {
            while (at < text.size() && text[at] != ';') {
                char c = text[at++];
                if (c == '"' || c == '\r' || c == '\n') return false;
                field += c;
            }
        }
        fields.push_back(field);
        if (at == text.size()) return true;
        ++at; // the ";"
    }
}

std::string AtMost(std::string_view text, size_t length) {
    return std::string(text.substr(0, text.size() < length ? text.size() : length));
}

// What follows the last ".", unless a "/", "\" or ":" follows it.
std::string Extension(const std::string &name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return "";
    std::string after = name.substr(dot + 1);
    return after.find_first_of("/\\:") == std::string::npos ? after : "";
}

// Bytes to kilobytes, halves to the even neighbour.
std::string Kilobytes(uint64_t size) {
    uint64_t kilobytes = size / 1024;
    uint64_t rest = size % 1024;
    if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
    return std::to_string(kilobytes);
}

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string DateTimeText(const DateTime &when, const DateTimeSettings &settings) {
    std::string year = std::to_string(when.year);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    std::string day = TwoDigits(when.day), month = TwoDigits(when.month);
    std::string separator(1, settings.dateSeparator);
    std::string text = settings.dateOrder == 1   ? day + separator + month + separator + year
                       : settings.dateOrder == 2 ? year + separator + month + separator + day
                                                 : month + separator + day + separator + year;
    if (when.hour == 0 && when.minute == 0 && when.second < 2) return text;
    std::string hour = settings.hourLeadingZero != 0 || when.hour >= 10 ? TwoDigits(when.hour)
                                                                         : std::to_string(when.hour);
    return text + " " + hour + settings.timeSeparator + TwoDigits(when.minute);
}

std::string Shown(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        }
    }
    return out;
}

[[noreturn]] void Fail(const char *what, std::string_view line, const std::vector<std::string> &fields) {
    std::fprintf(stderr, "listing line fuzz: %s\n  line: %s\n", what, Shown(line).c_str());
    for (size_t i = 0; i < fields.size(); ++i) std::fprintf(stderr, "  field %zu: %s\n", i + 1, Shown(fields[i]).c_str());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    DateTimeSettings settings;
    settings.dateSeparator = input.ConsumeIntegral<char>();
    settings.timeSeparator = input.ConsumeIntegral<char>();
    settings.dateOrder = input.ConsumeIntegralInRange<int>(-1, 3);
    settings.hourLeadingZero = input.ConsumeIntegralInRange<int>(0, 2);
    int position = input.ConsumeIntegralInRange<int>(0, 26);
    std::string drive = {position == 0 ? '\\' : static_cast<char>('A' + position - 1), ':'};
    uint64_t size64 = input.ConsumeIntegral<uint64_t>();
    DateTime when = DateTimeFromFileTime(input.ConsumeIntegral<uint64_t>());
    std::string label = input.ConsumeRandomLengthString(300);
    std::string serial = input.ConsumeRandomLengthString(300);
    std::string directory = input.ConsumeRandomLengthString(300);
    std::string name = input.ConsumeRandomLengthString(300);

    ListingLineFields fields;
    fields.drive = drive;
    fields.label = label;
    fields.serial = serial;
    fields.directory = directory;
    fields.name = name;
    fields.size = size64;
    fields.when = when;
    static char line[kListingLineCapacity];
    int length = ComposeListingLine(line, fields, settings);
    if (length < 0 || length > kListingLineCapacity) Fail("the length is out of range", "", {});
    std::string_view text(line, static_cast<size_t>(length));

    std::vector<std::string> read;
    if (!ReadRecord(text, read)) Fail("the line is not one well-formed record", text, read);
    if (read.size() != 9) Fail("the line does not have nine fields", text, read);
    std::string cutName = AtMost(name, kLongestEntryName);
    const std::string expected[9] = {drive,
                                     AtMost(label, 255),
                                     AtMost(serial, 255),
                                     AtMost(directory, 255),
                                     cutName,
                                     Extension(cutName),
                                     Kilobytes(size64),
                                     "kB",
                                     DateTimeText(when, settings)};
    static const char *const names[9] = {"drive", "label", "serial", "directory", "name",
                                         "extension", "size", "unit", "date and time"};
    for (int i = 0; i < 9; ++i) {
        if (read[i] != expected[i]) {
            std::string what = std::string("the ") + names[i] + " field reads back as something else; expected " +
                               Shown(expected[i]);
            Fail(what.c_str(), text, read);
        }
    }
    return 0;
}
