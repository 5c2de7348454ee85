// Reads a source file in read lines, as a C runtime's text mode would hand them to fgets
// with a 10,000-byte buffer: CR LF reads as LF, a 0x1A byte ends the input, and a line
// longer than 9,999 bytes arrives in pieces of 9,999.
#pragma once

#include <stddef.h>
#include <stdio.h>

const size_t kMaxReadLineBytes = 9999;
const size_t kSourceChunkBytes = 64 * 1024;
// Room for a chunk after an unfinished line (held CR included) kept from the last one.
const size_t kSourceBufferBytes = kSourceChunkBytes + kMaxReadLineBytes + 1;

struct SourceReader {
    FILE* stream;
    size_t begin;  // first translated byte not yet handed out
    size_t end;    // one past the last translated byte
    bool heldCr;   // the last chunk ended in a CR whose successor has not been read yet
    bool ended;    // end of file, a read error or a 0x1A byte: nothing more will come
    char bytes[kSourceBufferBytes];
};

void StartSourceReader(SourceReader* reader, FILE* stream);

// Hands out the next read line: the bytes up to and including the next LF, or 9,999 bytes
// if no LF comes within them, or the rest before the end of the input. It stays valid until
// the next call. Returns false when not one byte is left.
bool ReadSourceLine(SourceReader* reader, const char** line, size_t* length);
