#include "shell/status_line.h"

#include <cstring>

platform::WindowHandle StatusBar = nullptr;

int ComposeStatusText(uint32_t part, const String255 &text, char (&buffer)[256]) {
    buffer[0] = part != 0 ? '\t' : ' ';
    // The prefix and the terminating zero leave room for 254 characters.
    int length = text.length < 254 ? text.length : 254;
    std::memcpy(buffer + 1, text.chars, static_cast<size_t>(length));
    buffer[1 + length] = '\0';
    return 1 + length;
}

void SetStatusText(uint32_t part, const String255 &text) {
    char buffer[256];
    ComposeStatusText(part, text, buffer);
    platform::SendStatusText(StatusBar, part, buffer);
}

namespace {

// A status text repaints the status bar before SB_SETTEXTA returns, which
// costs about a millisecond under Wine: sent for every file, it would make
// the listing a hundred times slower than the walk under it. No message is
// dispatched during a walk, so nobody sees the texts in between anyway.
bool walking = false;
uint32_t lastShown = 0;
bool pathPending = false;
String255 pendingPath;

void Show(const String255 &path) {
    SetStatusText(0, path);
    platform::RepaintNow(StatusBar);
}

} // namespace

void BeginProgress() {
    walking = false;
    pathPending = false;
}

void ShowProgress(const String255 &path) {
    uint32_t now = platform::TickCount();
    if (!walking || now - lastShown >= kProgressRepaintMilliseconds) {
        Show(path);
        walking = true;
        lastShown = now;
        pathPending = false;
    } else {
        pendingPath = path.view();
        pathPending = true;
    }
}

void EndProgress() {
    if (pathPending) Show(pendingPath);
    BeginProgress();
}
