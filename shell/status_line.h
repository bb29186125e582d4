// The status bar along the main window's bottom edge: its handle, the one
// operation that writes into it, and (Win32 side) its creation and placement.
#pragma once

#include <cstdint>

#include "common/string255.h"
#include "platform/platform.h"

// Zero until start-up has created the status bar.
extern platform::WindowHandle StatusBar;

// Shows text in a part of the status bar: a space before it in the first part (number 0), a TAB
// (centred) in any other part. A 255-character text shows its first 254.
void SetStatusText(uint32_t part, const String255 &text);

// The walk's progress in the first part of the status bar. A status text
// repaints the status bar before it returns (no message is dispatched during
// a walk), and what that costs differs a hundredfold: well under a
// millisecond on Windows, 1 to 8 ms under Wine, depending on the display. So
// the walk shows the first file's path at once and after it a new path only
// when both hold: kProgressRepaintMilliseconds have passed since the last one
// shown (at most ten a second), and the texts shown so far have taken at most
// 1/kProgressShareOfWalk of the walk's time so far (2 %), as measured on
// the texts themselves. Where a text is cheap only the first bound ever
// applies. EndProgress shows the latest path if it has not been shown yet:
// the status bar always ends on the last file's path. BeginProgress starts a
// walk's progress afresh.
constexpr uint32_t kProgressRepaintMilliseconds = 100;
constexpr uint32_t kProgressShareOfWalk = 50;
void BeginProgress();
void ShowProgress(const String255 &path);
void EndProgress();

// Composes the 256-character buffer SetStatusText sends; returns its length.
int ComposeStatusText(uint32_t part, const String255 &text, char (&buffer)[256]);

// Win32 only.
platform::WindowHandle CreateStatusBar(platform::WindowHandle parentWindow);
void PlaceStatusBar(platform::WindowHandle mainWindow);
