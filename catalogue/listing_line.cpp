// Composition of a listing line into a fixed buffer.
#include "catalogue/listing_line.h"

#include <cstddef>
#include <cstring>

#include "common/number_text.h"
#include "common/string255.h"

namespace {

// The fields' own bounds: drive 2, label, serial and directory String255
// texts, name and extension from a platform name, 20 size digits, 32 for the
// date-time text, the seven separators with "kB", and the line end the walk
// puts after them.
constexpr int QuotedRoom(int characters) { return 2 * characters + 2; }
static_assert(2 + 3 * QuotedRoom(String255::kCapacity) + 2 * QuotedRoom(kLongestEntryName) + 20 + QuotedRoom(32) + 9 +
                  2 <=
              kListingLineCapacity);

char *Put(char *out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// A ";" would shift the columns, a double quote would open a quoted field,
// and a line break (which unix names can hold) would end the line.
constexpr bool IsSpecial(unsigned char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; }

struct SpecialTable {
    bool special[256];
};
constexpr SpecialTable MakeSpecialTable() {
    SpecialTable table{};
    for (int c = 0; c < 256; ++c) table.special[c] = IsSpecial(static_cast<unsigned char>(c));
    return table;
}
constexpr SpecialTable kSpecial = MakeSpecialTable();

std::string_view AtMost(std::string_view text, size_t length) {
    return text.size() <= length ? text : text.substr(0, length);
}

} // namespace

std::string_view FileExtension(std::string_view name) {
    // From the end back to the last "."; a separator met first follows it.
    for (size_t i = name.size(); i > 0; --i) {
        char c = name[i - 1];
        if (c == '.') return name.substr(i);
        if (c == '/' || c == '\\' || c == ':') return {};
    }
    return {};
}

uint64_t SizeInKilobytes(uint64_t size) {
    uint64_t kilobytes = size >> 10;
    uint64_t rest = size & 1023;
    if (rest > 512 || (rest == 512 && (kilobytes & 1) != 0)) kilobytes++;
    return kilobytes;
}

char *PutListingField(char *out, std::string_view field) {
    // Copied and checked in one pass: fields that need quotes are rare.
    bool special = false;
    char *end = out;
    for (char c : field) {
        special |= kSpecial.special[static_cast<unsigned char>(c)];
        *end++ = c;
    }
    if (!special) return end;
    *out++ = '"';
    for (char c : field) {
        if (c == '"') *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

int ComposeListingHead(char (&line)[kListingLineCapacity], const ListingLineFields &fields) {
    char *out = line;
    out = Put(out, AtMost(fields.drive, 2));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.label, String255::kCapacity));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.serial, String255::kCapacity));
    *out++ = ';';
    out = PutListingField(out, AtMost(fields.directory, String255::kCapacity));
    *out++ = ';';
    return static_cast<int>(out - line);
}

int ComposeListingTail(char (&line)[kListingLineCapacity], int headLength, const ListingLineFields &fields,
                       const DateTimeSettings &settings) {
    std::string_view name = AtMost(fields.name, kLongestEntryName);
    char *out = line + headLength;
    char *nameEnd = PutListingField(out, name);
    // The extension is the end of the name: a name that went in unquoted
    // holds nothing that needs quotes, and neither does its extension.
    bool nameQuoted = nameEnd - out != static_cast<ptrdiff_t>(name.size());
    out = nameEnd;
    *out++ = ';';
    out = nameQuoted ? PutListingField(out, FileExtension(name)) : Put(out, FileExtension(name));
    *out++ = ';';
    // Sizes below 2^64 bytes give at most 2^54 kilobytes: the cast keeps them whole.
    out = PutDecimal(out, static_cast<int64_t>(SizeInKilobytes(fields.size)));
    out = Put(out, ";kB;");
    // Digits and the space never need quotes; the separators come from the
    // locale, which may hold a ";" or a quote too.
    if (!kSpecial.special[static_cast<unsigned char>(settings.dateSeparator)] &&
        !kSpecial.special[static_cast<unsigned char>(settings.timeSeparator)])
        return static_cast<int>(PutDateTime(out, fields.when, settings) - line);
    char when[40];
    char *whenEnd = PutDateTime(when, fields.when, settings);
    out = PutListingField(out, std::string_view(when, static_cast<size_t>(whenEnd - when)));
    return static_cast<int>(out - line);
}

int ComposeListingLine(char (&line)[kListingLineCapacity], const ListingLineFields &fields,
                       const DateTimeSettings &settings) {
    return ComposeListingTail(line, ComposeListingHead(line, fields), fields, settings);
}
