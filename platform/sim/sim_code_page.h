// The simulated machine's text conversions: UTF-8 (how the machine keeps its
// names) to and from UTF-16 (what the wide calls see), and UTF-16 to the
// ANSI code page as WideCharToMultiByte(CP_ACP, 0, ...) converts it.
#pragma once

#include <string>
#include <string_view>

namespace sim {

std::u16string Utf16(std::string_view utf8);
std::string Utf8(std::u16string_view utf16);

// The ANSI text of a wide name in code page 1252 or 932: characters the page
// holds as its bytes, a few letters by their best fit, "?" for each UTF-16
// unit of the rest.
std::string AnsiText(std::u16string_view wide, int codePage);

} // namespace sim
