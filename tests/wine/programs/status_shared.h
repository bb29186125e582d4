// The memory status_hook.dll (inside the program) and status_watch share:
// the last text of the status bar's first part.
#pragma once

#include <windows.h>

constexpr char kStatusSharedName[] = "VolumeTarrowStatusWatch";

struct StatusShared {
    volatile LONG sequence; // odd while the hook copies a text in
    volatile LONG texts;    // status texts seen so far
    char text[256];
};
