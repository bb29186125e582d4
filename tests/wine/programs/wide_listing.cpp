// The listing a drive ought to get, worked out apart from the program: a
// recursive wide search (FindFirstFileW on "\\?\" paths built from the names
// it returned), each name converted with WideCharToMultiByte(CP_ACP, 0, ...),
// and the line written out here by the listing's rules. For each file it
// writes its directory in UTF-8 (two directories can share their ANSI text),
// a TAB and its line, LF-ended.
//
//   wide_listing ROOT OUTPUT LABEL SERIAL DATE-ORDER DATE-SEP TIME-SEP HOUR-ZERO
//   e.g. wide_listing D:\ c:\expected.txt "MY;DISK" 00C0FFEE 1 . : 1
//
// Directories not entered: names beginning with ".", exactly "Recycled",
// reparse points (Wine's directory symlinks), names holding \ / : * ? " < > |,
// and those whose ANSI path from the root would pass 255 bytes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

struct Settings {
    std::string drive, label, serial;
    int dateOrder = 0;
    char dateSeparator = '/', timeSeparator = ':';
    bool hourZero = false;
};

Settings settings;
std::FILE *out = nullptr;
long long files = 0;

std::string Narrow(const wchar_t *wide, UINT codePage) {
    char buffer[4 * MAX_PATH];
    int n = WideCharToMultiByte(codePage, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer, n - 1) : std::string();
}

std::string Field(const std::string &text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Extension(const std::string &name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return "";
    std::string after = name.substr(dot + 1);
    return after.find_first_of("/\\:") == std::string::npos ? after : "";
}

unsigned long long Kilobytes(unsigned long long size) {
    unsigned long long whole = size / 1024, rest = size % 1024;
    return whole + (rest > 512 || (rest == 512 && whole % 2 == 1) ? 1 : 0);
}

std::string When(FILETIME utc) {
    FILETIME local;
    unsigned long long u = (static_cast<unsigned long long>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    if (FileTimeToLocalFileTime(&utc, &local)) {
        unsigned long long l = (static_cast<unsigned long long>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
        if ((l > u ? l - u : u - l) > 864000000000ULL) local = utc;
    } else {
        local = utc;
    }
    SYSTEMTIME t;
    if (!FileTimeToSystemTime(&local, &t)) return "?";
    char text[64];
    char s = settings.dateSeparator;
    if (settings.dateOrder == 1)
        std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", t.wDay, s, t.wMonth, s, t.wYear);
    else if (settings.dateOrder == 2)
        std::snprintf(text, sizeof text, "%04d%c%02d%c%02d", t.wYear, s, t.wMonth, s, t.wDay);
    else
        std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", t.wMonth, s, t.wDay, s, t.wYear);
    std::string when = text;
    if (t.wHour != 0 || t.wMinute != 0 || t.wSecond >= 2) {
        std::snprintf(text, sizeof text, settings.hourZero ? " %02d%c%02d" : " %d%c%02d", t.wHour,
                      settings.timeSeparator, t.wMinute);
        when += text;
    }
    return Field(when);
}

void Walk(const std::wstring &widePath, const std::string &directory, const std::string &utf8Directory) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((widePath + L"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = Narrow(data.cFileName, CP_ACP);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            std::fprintf(out, "%s\t%s;%s;%s;%s;%s;%s;%llu;kB;%s\n", utf8Directory.c_str(), settings.drive.c_str(),
                         Field(settings.label).c_str(), Field(settings.serial).c_str(), Field(directory).c_str(),
                         Field(name).c_str(), Field(Extension(name)).c_str(), Kilobytes(size),
                         When(data.ftLastWriteTime).c_str());
            ++files;
            continue;
        }
        const wchar_t *wide = data.cFileName;
        if (wide[0] == L'.' || std::wcscmp(wide, L"Recycled") == 0) continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
        if (std::wcspbrk(wide, L"\\/:*?\"<>|") != nullptr) continue;
        if (directory.size() + name.size() + 1 > 255) continue;
        Walk(widePath + wide + L"\\", directory + name + "\\", utf8Directory + Narrow(wide, CP_UTF8) + "\\");
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 9) {
        std::fprintf(stderr, "usage: wide_listing ROOT OUTPUT LABEL SERIAL DATE-ORDER DATE-SEP TIME-SEP HOUR-ZERO\n");
        return 2;
    }
    settings.drive = std::string(argv[1], 2);
    settings.label = argv[3];
    settings.serial = argv[4];
    settings.dateOrder = std::atoi(argv[5]);
    settings.dateSeparator = argv[6][0];
    settings.timeSeparator = argv[7][0];
    settings.hourZero = std::atoi(argv[8]) != 0;
    out = std::fopen(argv[2], "wb");
    if (out == nullptr) return 3;
    std::wstring root = L"\\\\?\\";
    for (const char *c = argv[1]; *c != '\0'; ++c) root += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    if (root.back() != L'\\') root += L'\\';
    Walk(root, "\\", "\\");
    std::printf("files %lld\n", files);
    return std::fclose(out) == 0 ? 0 : 4;
}
