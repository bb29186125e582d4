// Watches the running program from outside for scripts/run: what its status
// bar shows, whether its window answers, whether it still runs. Writes the
// state to FILE whenever it changes, replacing the file whole:
//
//   status_watch FILE
//
//   texts: N           status texts the program has set since the watch began
//   answering: yes|no  whether the window answered a message sent after the
//                      N-th text (a walk dispatches none until it ends) with
//                      no message box of the program open (a failure report's
//                      box answers messages too)
//   program: running|ended
//   status: TEXT       the text of the status bar's first part
//
// The status bar is read through status_hook.dll, which the system loads
// into the program for a WH_CALLWNDPROC hook on its thread. The watch ends
// with the program; exit code 1 when no window of the program turns up.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "status_shared.h"

namespace {

constexpr DWORD kFindMilliseconds = 30000;
constexpr UINT kAnswerMilliseconds = 200;

std::string OwnDirectory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\') + 1);
}

void Replace(const std::string &path, const std::string &text) {
    std::string next = path + ".next";
    FILE *out = std::fopen(next.c_str(), "wb");
    if (out == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The last status text and the count of texts, copied while no copy is under way.
void Read(const StatusShared &shared, std::string &text, LONG &texts) {
    char copy[sizeof shared.text];
    for (;;) {
        LONG before = shared.sequence;
        MemoryBarrier();
        texts = shared.texts;
        std::memcpy(copy, shared.text, sizeof copy);
        MemoryBarrier();
        if ((before & 1) == 0 && shared.sequence == before) break;
        Sleep(1);
    }
    copy[sizeof copy - 1] = '\0';
    text = copy;
}

struct BoxSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<BoxSearch *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool BoxOpen(DWORD processId) {
    BoxSearch search{processId, false};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: status_watch FILE\n");
        return 2;
    }
    std::string file = argv[1];

    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(StatusShared), kStatusSharedName);
    auto *shared = static_cast<StatusShared *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StatusShared)));
    if (shared == nullptr) return 2;
    std::strcpy(shared->text, "Ready...");

    HWND window = nullptr;
    DWORD started = GetTickCount();
    while ((window = FindWindowA("Tarrow", "Volume Tarrowv1.0")) == nullptr) {
        if (GetTickCount() - started > kFindMilliseconds) return 1;
        Sleep(50);
    }
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    HMODULE hookLibrary = LoadLibraryA((OwnDirectory() + "status_hook.dll").c_str());
    auto hook = hookLibrary != nullptr ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void *>(
                                             GetProcAddress(hookLibrary, "StatusHook")))
                                       : nullptr;
    if (process == nullptr || hook == nullptr || SetWindowsHookExA(WH_CALLWNDPROC, hook, hookLibrary, threadId) == nullptr) {
        std::fprintf(stderr, "status_watch: cannot watch the program (error %lu)\n", GetLastError());
        return 2;
    }

    std::string written;
    for (;;) {
        bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        std::string text;
        LONG texts = 0;
        Read(*shared, text, texts);
        DWORD_PTR result = 0;
        bool answering = !ended &&
                         SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMilliseconds, &result) &&
                         !BoxOpen(processId);
        std::string state = "texts: " + std::to_string(texts) + "\nanswering: " + (answering ? "yes" : "no") +
                            "\nprogram: " + (ended ? "ended" : "running") + "\nstatus: " + text + "\n";
        if (state != written) {
            Replace(file, state);
            written = state;
        }
        if (ended) return 0;
        // Messages for this thread (the hook's own bookkeeping) are taken while waiting.
        MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}
