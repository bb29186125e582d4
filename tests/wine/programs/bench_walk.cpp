// The fastest listings the search calls allow, for the benchmark to hold the
// program's drive command against: recursive walks that only count files,
// one with the ANSI FindFirstFileA/FindNextFileA and one with the wide search
// the program itself makes (FindFirstFileExW on "\\?\" paths, basic
// information, large fetch). Whichever is faster on a platform is the limit
// there: Wine makes the ANSI calls from the wide ones, Windows may not.
//
//   bench_walk [--wide] ROOT [RUNS]       (e.g. D:\ or D:\music; RUNS defaults to 1)
//
// Walks RUNS times in the one process and prints for each walk
// "files N directories N milliseconds T". Directories whose names begin
// with "." and reparse points are not entered, as the program does not enter them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

struct Counts {
    long long files = 0;
    long long directories = 0;
};

// path holds the directory with its trailing backslash; length is its length.
void Walk(char (&path)[MAX_PATH + 8], size_t length, Counts &counts) {
    if (length + 3 >= sizeof path) return;
    std::memcpy(path + length, "*.*", 4);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++counts.files;
            continue;
        }
        if (data.cFileName[0] == '.' || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
        size_t name = std::strlen(data.cFileName);
        if (length + name + 1 >= sizeof path - 4) continue;
        std::memcpy(path + length, data.cFileName, name);
        path[length + name] = '\\';
        ++counts.directories;
        Walk(path, length + name + 1, counts);
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

// FindFirstFileExW's level and flag as the program passes them (Windows 7 and later).
constexpr FINDEX_INFO_LEVELS kInfoBasic = static_cast<FINDEX_INFO_LEVELS>(1);
constexpr DWORD kLargeFetch = 2;
constexpr size_t kWidePath = 1024;

void WalkWide(wchar_t (&path)[kWidePath], size_t length, Counts &counts) {
    if (length + 2 >= kWidePath) return;
    path[length] = L'*';
    path[length + 1] = 0;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileExW(path, kInfoBasic, &data, FindExSearchNameMatch, nullptr, kLargeFetch);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++counts.files;
            continue;
        }
        if (data.cFileName[0] == L'.' || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
        size_t name = std::wcslen(data.cFileName);
        if (length + name + 3 >= kWidePath) continue;
        std::wmemcpy(path + length, data.cFileName, name);
        path[length + name] = L'\\';
        ++counts.directories;
        WalkWide(path, length + name + 1, counts);
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char **argv) {
    bool wide = argc > 1 && std::strcmp(argv[1], "--wide") == 0;
    if (wide) {
        --argc;
        ++argv;
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: bench_walk [--wide] ROOT [RUNS]\n");
        return 2;
    }
    int runs = argc == 3 ? std::atoi(argv[2]) : 1;
    static char path[MAX_PATH + 8];
    size_t length = std::strlen(argv[1]);
    if (length == 0 || length + 2 >= MAX_PATH) return 2;
    std::memcpy(path, argv[1], length);
    if (path[length - 1] != '\\') path[length++] = '\\';
    // The root as the program addresses it: "\\?\" and the ANSI root, read as ASCII.
    static wchar_t widePath[kWidePath] = L"\\\\?\\";
    size_t wideLength = 4;
    for (size_t i = 0; i < length; ++i) widePath[wideLength++] = static_cast<unsigned char>(path[i]);

    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER started, ended;
        QueryPerformanceCounter(&started);
        Counts counts;
        if (wide)
            WalkWide(widePath, wideLength, counts);
        else
            Walk(path, length, counts);
        QueryPerformanceCounter(&ended);
        std::printf("files %lld directories %lld milliseconds %.3f\n", counts.files, counts.directories,
                    Milliseconds(started, ended));
        std::fflush(stdout);
    }
    return 0;
}
