// Text-to-subtitle conversion: every read line, or every group of lines closed by a
// marker line, becomes one numbered SRT entry at a fixed interval.
#pragma once

#include <stdio.h>

enum ConvertOutcome {
    kConverted,
    kSourceNotOpened,      // missing, locked for writing, a folder, an unspellable name
    kSubtitleIsSource,     // the subtitle path names the source file itself
    kSubtitleNotCreated,   // read-only folder, subtitle locked by another program, ...
    kSubtitleWriteFailed,  // disk full or another write error; the file is incomplete
};

// Converts g_droppedPath into g_subtitlePath (derived here) at g_intervalSeconds.
// Reports nothing: the window shows no outcome of a conversion.
void ConvertDroppedFile();

// Converts one file. On a failure to open, errno tells why. The source is never written,
// and when it cannot be opened (or the subtitle path names it) nothing is created or
// truncated.
ConvertOutcome ConvertFile(const char* sourcePath, const char* subtitlePath, int intervalSeconds);

// The conversion itself, over two binary streams: the source is read twice (a marker scan,
// then the conversion), so it must be seekable and positioned at its start. Line ends are
// translated here, not by the C library, so the bytes are the same on every platform. Entries are
// numbered from firstEntryNumber (1 for every real conversion). Returns false if a write failed.
bool ConvertStreams(FILE* source, FILE* subtitle, int intervalSeconds, long long firstEntryNumber);
