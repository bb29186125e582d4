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

// Sent for every file, a status text would make the listing a hundred times
// slower than the walk under it under Wine; and nobody sees the texts in
// between anyway.
bool walking = false;
uint32_t walkStarted = 0; // TickCount of the first path
uint32_t lastShown = 0;
uint64_t textMicroseconds = 0; // what the walk's texts have taken so far
bool pathPending = false;
String255 pendingPath;

void Show(const String255 &path) {
    // Timed finely: a text costs less than one step of TickCount.
    uint64_t before = platform::MicrosecondCount();
    SetStatusText(0, path);
    platform::RepaintNow(StatusBar);
    textMicroseconds += platform::MicrosecondCount() - before;
}

bool TextDue(uint32_t now) {
    if (now - lastShown < kProgressRepaintMilliseconds) return false;
    return textMicroseconds * kProgressShareOfWalk <= uint64_t{now - walkStarted} * 1000;
}

} // namespace

void BeginProgress() {
    walking = false;
    pathPending = false;
    textMicroseconds = 0;
}

void ShowProgress(const String255 &path) {
    uint32_t now = platform::TickCount();
    if (!walking) {
        walking = true;
        walkStarted = now;
    } else if (!TextDue(now)) {
        pendingPath = path.view();
        pathPending = true;
        return;
    }
    Show(path);
    lastShown = now;
    pathPending = false;
}

void EndProgress() {
    if (pathPending) Show(pendingPath);
    BeginProgress();
}
