// The status bar along the main window's bottom edge: its handle, the one
// operation that writes into it, and (Win32 side) its creation and placement.
#pragma once

#include <cstdint>

#include "common/string255.h"
#include "platform/platform.h"

// Zero until start-up has created the status bar.
extern platform::WindowHandle StatusBar;

// Shows text in a part of the status bar: a space before it in part 0, a TAB
// (centred) in any other part. A 255-character text shows its first 254.
void SetStatusText(uint32_t part, const String255 &text);

// Composes the 256-character buffer SetStatusText sends; returns its length.
int ComposeStatusText(uint32_t part, const String255 &text, char (&buffer)[256]);

// Win32 only.
platform::WindowHandle CreateStatusBar(platform::WindowHandle parentWindow);
void PlaceStatusBar(platform::WindowHandle mainWindow);
