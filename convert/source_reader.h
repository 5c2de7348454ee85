// Reads a source file in read lines, as a C runtime's text mode would hand them to fgets
// with a 10,000-byte buffer: CR LF reads as LF, a 0x1A byte ends the input, and a line
// longer than 9,999 bytes (a CR LF pair counting as one) arrives in pieces of 9,999.
#pragma once

#include <stddef.h>
#include <stdio.h>

const size_t kMaxReadLineBytes = 9999;
const size_t kSourceChunkBytes = 256 * 1024;
// A chunk, after the unfinished line kept from the last one (less than 10,000 bytes).
const size_t kSourceBufferBytes = kSourceChunkBytes + kMaxReadLineBytes + 1;

struct SourceReader {
    FILE* stream;
    size_t begin;    // first byte not yet handed out
    size_t end;      // one past the last byte read
    size_t nextNul;  // the first NUL in [begin, end), or kNoNul
    bool ended;      // end of file, a read error or a 0x1A byte: nothing more will come
    char bytes[kSourceBufferBytes];
};

// One read line, in the file's own bytes. Only an LF or a CR LF pair can end it, so its
// text holds no line end; a lone CR stays part of the text.
struct SourceLine {
    const char* text;
    size_t length;    // the text, without its line end
    bool endsWithLf;  // whether an LF (or CR LF) ended it; not so for a cut or final line
    size_t nulAt;     // offset of the first NUL in the text, or `length` when there is none
};

void StartSourceReader(SourceReader* reader, FILE* stream);

// Hands out the next read line, valid until the next call. Returns false when not one
// byte is left.
bool ReadSourceLine(SourceReader* reader, SourceLine* line);

// Whether any read line of the rest of the source begins with `prefix` (which holds no LF),
// found without splitting the source into lines. Uses up the reader.
bool SourceHasLineStartingWith(SourceReader* reader, const char* prefix, size_t prefixLength);
