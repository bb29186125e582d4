// Number texts: decimal with no leading zeros and "-" for negatives, and
// fixed-width upper-case hexadecimal with leading zeros kept.
#pragma once

#include <cstdint>
#include <string>

// Writes the decimal text of value at out and returns the end of what it wrote.
// out needs room for 20 characters.
char *PutDecimal(char *out, int64_t value);

// Writes exactly `digits` upper-case hexadecimal digits of the low bits of value.
char *PutHex(char *out, uint64_t value, int digits);

std::string DecimalText(int64_t value);
std::string HexText(uint64_t value, int digits);
