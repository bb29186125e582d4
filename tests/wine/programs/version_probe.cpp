// Reads a program file's resources as Windows shows them: the version
// resource (Explorer's Properties, Task Manager) and any application
// manifest, and writes what it found to stdout.
//
//   version_probe EXE
//
// Manifests are listed by resource name and language, each with whether it
// requests an execution level (a requestedExecutionLevel element) and its text,
// then whether an activation context can be made from manifest #1.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintString(const std::vector<char> &block, const char *translation, const char *name) {
    std::string path = std::string("\\StringFileInfo\\") + translation + "\\" + name;
    char *value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void **>(&value), &length) && value != nullptr)
        std::printf("%s: \"%s\"\n", name, value);
    else
        std::printf("%s: none\n", name);
}

void PrintVersion(const char *label, DWORD high, DWORD low) {
    std::printf("%s: %u.%u.%u.%u\n", label, HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
}

void PrintVersionResource(const char *exe) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe, &ignored);
    if (size == 0) {
        std::printf("version resource: none\n");
        return;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(exe, 0, size, block.data())) {
        std::printf("version resource: unreadable\n");
        return;
    }
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length) && fixed != nullptr) {
        PrintVersion("fixed file version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        PrintVersion("fixed product version", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        std::printf("file type: %s\n", fixed->dwFileType == VFT_APP ? "application" : "other");
    }
    WORD *translations = nullptr;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translations),
                        &length) ||
        length < 4) {
        std::printf("translation: none\n");
        return;
    }
    char translation[16];
    std::snprintf(translation, sizeof translation, "%04X%04X", translations[0], translations[1]);
    std::printf("translation: %s\n", translation);
    for (const char *name : {"FileDescription", "ProductName", "FileVersion", "ProductVersion", "OriginalFilename"})
        PrintString(block, translation, name);
}

// One manifest in one language: whether it requests an execution level, then
// its text, each line marked with "| " so that a transcript shows where it ends.
BOOL CALLBACK PrintManifestLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR found) {
    ++*reinterpret_cast<int *>(found);
    HRSRC resource = FindResourceExA(module, type, name, language);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const char *bytes = loaded != nullptr ? static_cast<const char *>(LockResource(loaded)) : nullptr;
    std::string text = bytes != nullptr ? std::string(bytes, SizeofResource(module, resource)) : std::string();
    char label[32];
    if (IS_INTRESOURCE(name))
        std::snprintf(label, sizeof label, "#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    else
        std::snprintf(label, sizeof label, "%s", name);
    std::printf("manifest %s, language %04X: %s an execution level\n", label, language,
                text.find("requestedExecutionLevel") != std::string::npos ? "requests" : "does not request");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::printf("| %s\n", text.substr(start, end - start).c_str());
        start = end + 1;
    }
    return TRUE;
}

BOOL CALLBACK PrintManifest(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    EnumResourceLanguagesA(module, type, name, PrintManifestLanguage, found);
    return TRUE;
}

void PrintManifests(const char *exe) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        std::printf("manifests: cannot load %s (error %lu)\n", exe, GetLastError());
        return;
    }
    int found = 0;
    EnumResourceNamesA(module, RT_MANIFEST, PrintManifest, reinterpret_cast<LONG_PTR>(&found));
    FreeLibrary(module);
    if (found == 0) {
        std::printf("manifests: none\n");
        return;
    }
    // What the side-by-side loader makes of the manifest Windows reads when
    // it starts the program: a manifest it cannot take stops the start.
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    if (context == INVALID_HANDLE_VALUE) {
        std::printf("activation context from manifest #1: error %lu\n", GetLastError());
        return;
    }
    std::printf("activation context from manifest #1: made\n");
    ReleaseActCtx(context);
}

} // namespace

int main(int argc, char **argv) {
    // The transcript is compared byte for byte: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_probe EXE\n");
        return 2;
    }
    PrintVersionResource(argv[1]);
    PrintManifests(argv[1]);
    return 0;
}
