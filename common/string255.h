// String255: a length-prefixed text of at most 255 single-byte characters.
// Every assignment or concatenation keeps only the first 255 characters of
// its result. The bytes are always followed by a zero so that the text can be
// handed to the platform's ANSI calls as it is.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct String255 {
    static constexpr int kCapacity = 255;

    uint8_t length = 0;
    char chars[kCapacity + 1] = {};

    String255() = default;
    String255(std::string_view text) { Assign(text); }
    String255(const char *text) { Assign(std::string_view(text)); }
    String255(const std::string &text) { Assign(text); }

    String255 &operator=(std::string_view text) { Assign(text); return *this; }
    String255 &operator=(const char *text) { Assign(std::string_view(text)); return *this; }

    String255 &operator+=(std::string_view text) {
        size_t room = kCapacity - length;
        size_t n = text.size() < room ? text.size() : room;
        std::memcpy(chars + length, text.data(), n);
        length = static_cast<uint8_t>(length + n);
        chars[length] = '\0';
        return *this;
    }
    String255 &operator+=(const String255 &text) { return *this += text.view(); }
    String255 &operator+=(const char *text) { return *this += std::string_view(text); }
    String255 &operator+=(const std::string &text) { return *this += std::string_view(text); }
    String255 &operator+=(char c) { return *this += std::string_view(&c, 1); }

    std::string_view view() const { return std::string_view(chars, length); }
    const char *c_str() const { return chars; }
    bool empty() const { return length == 0; }

    // Drops characters from the end; never grows the text.
    void Truncate(int newLength) {
        if (newLength < length) {
            length = static_cast<uint8_t>(newLength < 0 ? 0 : newLength);
            chars[length] = '\0';
        }
    }

private:
    void Assign(std::string_view text) {
        size_t n = text.size() < size_t(kCapacity) ? text.size() : size_t(kCapacity);
        std::memmove(chars, text.data(), n);
        length = static_cast<uint8_t>(n);
        chars[length] = '\0';
    }
};

inline String255 operator+(String255 left, std::string_view right) { return left += right; }
inline String255 operator+(String255 left, const String255 &right) { return left += right.view(); }
inline String255 operator+(String255 left, const char *right) { return left += std::string_view(right); }
inline String255 operator+(String255 left, char right) { return left += right; }

// Same length and same bytes.
inline bool operator==(const String255 &a, const String255 &b) { return a.view() == b.view(); }
inline bool operator==(const String255 &a, std::string_view b) { return a.view() == b; }
