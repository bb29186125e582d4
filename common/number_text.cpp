#include "common/number_text.h"

char *PutDecimal(char *out, int64_t value) {
    // Work on the magnitude as unsigned so that INT64_MIN has one too.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0) *out++ = '-';
    char digits[20];
    int n = 0;
    // A 32-bit program divides 64-bit numbers in a library call; sizes and
    // years almost always fit in 32 bits, where it divides in one instruction.
    while (magnitude > UINT32_MAX) {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    uint32_t small = static_cast<uint32_t>(magnitude);
    do {
        digits[n++] = static_cast<char>('0' + small % 10);
        small /= 10;
    } while (small != 0);
    while (n > 0) *out++ = digits[--n];
    return out;
}

char *PutHex(char *out, uint64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out + digits;
}

std::string DecimalText(int64_t value) {
    char buffer[24];
    return std::string(buffer, PutDecimal(buffer, value));
}

std::string HexText(uint64_t value, int digits) {
    std::string text(static_cast<size_t>(digits), '0');
    PutHex(text.data(), value, digits);
    return text;
}
