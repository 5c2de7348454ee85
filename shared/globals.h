// Process-wide values shared by the window, the interval dialog and the converter.
#pragma once

enum {
    kPathBufferSize = 260,       // a path of at most 259 bytes and its NUL
    kEntryTextBufferSize = 256,  // the dialog's typed text: at most 255 bytes and its NUL
    kDefaultIntervalSeconds = 5,
};

// Seconds between the start of one subtitle entry and the start of the next (1..60).
extern int g_intervalSeconds;
// Path of the file last dropped, in the system's ANSI code page.
extern char g_droppedPath[kPathBufferSize];
// Subtitle path derived from g_droppedPath by the converter.
extern char g_subtitlePath[kPathBufferSize];
// Text typed into the interval dialog's edit box.
extern char g_entryText[kEntryTextBufferSize];
