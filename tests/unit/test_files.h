// Small file helpers for the tests: a fresh folder per test, and whole-file bytes.
#pragma once

#include <stdio.h>

#include <string>

// Creates a new empty folder under the system's temporary folder; returns its path with a
// trailing separator.
std::string MakeScratchFolder();

void WriteBytes(const std::string& path, const std::string& bytes);

// The rest of an open stream.
std::string ReadStream(FILE* stream);

// The whole file, or "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);

bool FileExists(const std::string& path);

inline const char kMissing[] = "<missing>";
