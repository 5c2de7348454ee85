#include "convert/source_reader.h"

#include <string.h>

void StartSourceReader(SourceReader* reader, FILE* stream) {
    reader->stream = stream;
    reader->begin = 0;
    reader->end = 0;
    reader->heldCr = false;
    reader->ended = false;
}

// Drops every CR that stands right before an LF, in place; returns the new length.
static size_t DropCrBeforeLf(char* text, size_t length) {
    char* out = static_cast<char*>(memchr(text, '\r', length));
    if (out == NULL) {
        return length;
    }
    const char* in = out;
    const char* limit = text + length;
    while (in < limit) {
        // `in` is at a CR: a CR LF pair reads as its LF alone; a lone CR passes.
        if (in + 1 < limit && in[1] == '\n') {
            ++in;
        } else {
            *out++ = *in++;
        }
        const char* nextCr = static_cast<const char*>(memchr(in, '\r', limit - in));
        const char* runEnd = nextCr != NULL ? nextCr : limit;
        memmove(out, in, runEnd - in);
        out += runEnd - in;
        in = runEnd;
    }
    return out - text;
}

// Keeps the unread bytes, then appends one more translated chunk of the file.
static void RefillSource(SourceReader* reader) {
    const size_t unread = reader->end - reader->begin;
    memmove(reader->bytes, reader->bytes + reader->begin, unread);
    reader->begin = 0;
    reader->end = unread;

    char* chunk = reader->bytes + unread;
    size_t chunkLength = 0;
    if (reader->heldCr) {
        chunk[chunkLength++] = '\r';
        reader->heldCr = false;
    }
    const size_t room = sizeof(reader->bytes) - unread - chunkLength;
    size_t got = fread(chunk + chunkLength, 1, room, reader->stream);
    if (got < room) {
        reader->ended = true;  // end of file, or a read error, which counts as one
    }
    const char* eof = static_cast<const char*>(memchr(chunk + chunkLength, 0x1A, got));
    if (eof != NULL) {
        got = eof - (chunk + chunkLength);
        reader->ended = true;
    }
    chunkLength += got;
    // Whether a CR at the very end pairs with an LF is only known once more is read.
    if (!reader->ended && chunkLength > 0 && chunk[chunkLength - 1] == '\r') {
        reader->heldCr = true;
        --chunkLength;
    }
    reader->end += DropCrBeforeLf(chunk, chunkLength);
}

bool ReadSourceLine(SourceReader* reader, const char** line, size_t* length) {
    for (;;) {
        const size_t unread = reader->end - reader->begin;
        const char* start = reader->bytes + reader->begin;
        const size_t window = unread < kMaxReadLineBytes ? unread : kMaxReadLineBytes;
        const char* lf = static_cast<const char*>(memchr(start, '\n', window));
        size_t taken;
        if (lf != NULL) {
            taken = lf - start + 1;
        } else if (unread >= kMaxReadLineBytes) {
            taken = kMaxReadLineBytes;
        } else if (reader->ended) {
            if (unread == 0) {
                return false;
            }
            taken = unread;
        } else {
            RefillSource(reader);
            continue;
        }
        *line = start;
        *length = taken;
        reader->begin += taken;
        return true;
    }
}
