// Which dropped names the converter takes, and the subtitle name it writes.
#pragma once

#include <stddef.h>

// True when the path holds ".txt" or ".TXT" anywhere (letter case exact).
bool HasTextFileName(const char* path);

// Writes the path without its last four bytes, followed by ".srt", into subtitlePath.
// Returns false, writing nothing useful, when the path is shorter than four bytes or the
// result (with its NUL) would not fit in subtitlePathSize bytes.
bool DeriveSubtitlePath(const char* sourcePath, char* subtitlePath, size_t subtitlePathSize);
