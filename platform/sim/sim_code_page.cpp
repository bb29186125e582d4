// Code pages of the simulated machine: enough of 1252 and 932 for the names
// the tests use. Windows converts with best fit: a letter the page lacks
// becomes a close one it holds ("Łódź" gives "Lódz"), and what has no close
// letter becomes "?", one for each UTF-16 unit (an emoji, a surrogate pair,
// gives "??"), as Wine 8 was seen to do.
#include "platform/sim/sim_code_page.h"

#include <cstdint>

namespace sim {

namespace {

// Code page 1252 at 0x80 to 0x9F; 0 where the page has no character.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Best fit in 1252 for the letters the tests meet.
struct BestFit {
    char16_t wide;
    char ansi;
};
constexpr BestFit kBestFit1252[] = {
    {0x0100, 'A'}, {0x0101, 'a'}, {0x0141, 'L'}, {0x0142, 'l'}, {0x0179, 'Z'}, {0x017A, 'z'},
    {0x017B, 'Z'}, {0x017C, 'z'}, {0x015A, 'S'}, {0x015B, 's'}, {0x03A9, 'O'},
};

void Put1252(std::string &out, char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out += static_cast<char>(c);
        return;
    }
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] == c && c != 0) {
            out += static_cast<char>(0x80 + i);
            return;
        }
    for (const BestFit &fit : kBestFit1252)
        if (fit.wide == c) {
            out += fit.ansi;
            return;
        }
    out += '?';
}

// Shift-JIS: ASCII, half-width katakana in one byte; hiragana, katakana and
// a few kanji in two. Some second bytes are 0x5C, a backslash: "ソ" is 83 5C
// and "表" 95 5C.
void Put932(std::string &out, char16_t c) {
    auto two = [&out](unsigned lead, unsigned trail) {
        out += static_cast<char>(lead);
        out += static_cast<char>(trail);
    };
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
        out += static_cast<char>(0xA1 + (c - 0xFF61));
    } else if (c >= 0x3041 && c <= 0x3093) {
        two(0x82, 0x9F + (c - 0x3041));
    } else if (c >= 0x30A1 && c <= 0x30F6) {
        unsigned trail = 0x40 + (c - 0x30A1);
        two(0x83, trail >= 0x7F ? trail + 1 : trail); // 0x7F is never a second byte
    } else if (c == 0x8868) {
        two(0x95, 0x5C); // 表
    } else if (c == 0x65E5) {
        two(0x93, 0xFA); // 日
    } else if (c == 0x672C) {
        two(0x96, 0x7B); // 本
    } else {
        out += '?';
    }
}

} // namespace

std::u16string Utf16(std::string_view utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        uint32_t code = b;
        int more = 0;
        if (b >= 0xF0) { code = b & 0x07; more = 3; }
        else if (b >= 0xE0) { code = b & 0x0F; more = 2; }
        else if (b >= 0xC0) { code = b & 0x1F; more = 1; }
        ++i;
        for (; more > 0 && i < utf8.size(); --more, ++i) code = code << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string Utf8(std::u16string_view utf16) {
    std::string out;
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t code = utf16[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string AnsiText(std::u16string_view wide, int codePage) {
    std::string out;
    for (char16_t c : wide) {
        if (codePage == 932)
            Put932(out, c);
        else
            Put1252(out, c);
    }
    return out;
}

} // namespace sim
