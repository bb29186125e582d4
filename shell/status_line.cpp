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
uint32_t lastRepaint = 0;
bool repaintPending = false;
} // namespace

void ShowProgress(const String255 &path) {
    SetStatusText(0, path);
    uint32_t now = platform::TickCount();
    if (now - lastRepaint >= kProgressRepaintMilliseconds) {
        platform::RepaintNow(StatusBar);
        lastRepaint = now;
        repaintPending = false;
    } else {
        repaintPending = true;
    }
}

void EndProgress() {
    if (repaintPending) platform::RepaintNow(StatusBar);
    repaintPending = false;
}
