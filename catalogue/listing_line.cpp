// Composition of a listing line into a fixed buffer.
#include "catalogue/listing_line.h"

#include <cstring>

#include "common/number_text.h"
#include "common/string255.h"

namespace {

// The fields' own bounds: drive 2, label, serial and directory String255
// texts, name and extension from a platform name, 20 size digits, 32 for the
// date-time text, and the seven separators with "kB".
constexpr int QuotedRoom(int characters) { return 2 * characters + 2; }
static_assert(2 + 3 * QuotedRoom(String255::kCapacity) + 2 * QuotedRoom(kLongestEntryName) + 20 + QuotedRoom(32) + 9 <=
              kListingLineCapacity);

char *Put(char *out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// A ";" would shift the columns, a double quote would open a quoted field,
// and a line break (which unix names can hold) would end the line.
bool NeedsQuotes(std::string_view field) {
    for (char c : field)
        if (c == ';' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

std::string_view AtMost(std::string_view text, size_t length) {
    return text.size() <= length ? text : text.substr(0, length);
}

} // namespace

std::string_view FileExtension(std::string_view name) {
    size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return {};
    std::string_view after = name.substr(dot + 1);
    if (after.find_first_of("/\\:") != std::string_view::npos) return {};
    return after;
}

uint64_t SizeInKilobytes(uint64_t size) {
    uint64_t kilobytes = size >> 10;
    uint64_t rest = size & 1023;
    if (rest > 512 || (rest == 512 && (kilobytes & 1) != 0)) kilobytes++;
    return kilobytes;
}

char *PutListingField(char *out, std::string_view field) {
    if (!NeedsQuotes(field)) return Put(out, field);
    *out++ = '"';
    for (char c : field) {
        if (c == '"') *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

int ComposeListingLine(char (&line)[kListingLineCapacity], const ListingLineFields &fields,
                       const DateTimeSettings &settings) {
    std::string_view name = AtMost(fields.name, kLongestEntryName);
    char *out = line;
    out = Put(out, AtMost(fields.drive, 2));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.label, String255::kCapacity));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.serial, String255::kCapacity));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.directory, String255::kCapacity));
    *out++ = ';';
    out = PutListingField(out, name);
    *out++ = ';';
    out = PutListingField(out, FileExtension(name));
    *out++ = ';';
    // Sizes below 2^64 bytes give at most 2^54 kilobytes: the cast keeps them whole.
    out = PutDecimal(out, static_cast<int64_t>(SizeInKilobytes(fields.size)));
    out = Put(out, ";kB;");
    // The separators come from the locale, which may hold a ";" or a quote too.
    char when[40];
    char *whenEnd = PutDateTime(when, fields.when, settings);
    out = PutListingField(out, std::string_view(when, static_cast<size_t>(whenEnd - when)));
    return static_cast<int>(out - line);
}
