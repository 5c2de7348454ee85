#include "convert/source_reader.h"

#include <string.h>

static const size_t kNoNul = static_cast<size_t>(-1);

void StartSourceReader(SourceReader* reader, FILE* stream) {
    reader->stream = stream;
    reader->begin = 0;
    reader->end = 0;
    reader->nextNul = kNoNul;
    reader->ended = false;
}

static size_t FindNul(const SourceReader* reader, size_t from) {
    const void* nul = memchr(reader->bytes + from, '\0', reader->end - from);
    return nul != NULL ? static_cast<const char*>(nul) - reader->bytes : kNoNul;
}

// Keeps the unread bytes, then appends one more chunk of the file, cut at a 0x1A byte.
static void RefillSource(SourceReader* reader) {
    const size_t unread = reader->end - reader->begin;
    memmove(reader->bytes, reader->bytes + reader->begin, unread);
    if (reader->nextNul != kNoNul) {
        reader->nextNul -= reader->begin;
    }
    reader->begin = 0;
    reader->end = unread;

    char* chunk = reader->bytes + unread;
    const size_t room = sizeof(reader->bytes) - unread;
    size_t got = fread(chunk, 1, room, reader->stream);
    if (got < room) {
        reader->ended = true;  // end of file, or a read error, which counts as one
    }
    const void* eof = memchr(chunk, 0x1A, got);
    if (eof != NULL) {
        got = static_cast<const char*>(eof) - chunk;
        reader->ended = true;
    }
    reader->end += got;
    if (reader->nextNul == kNoNul) {
        reader->nextNul = FindNul(reader, unread);
    }
}

// Decides where the line at `begin` ends, or returns false when more must be read first.
// Only a pair at the very end of a line can be a CR LF, since any LF ends the line; so up
// to 10,000 bytes of the file can make 9,999 read bytes.
static bool FindLineEnd(const SourceReader* reader, size_t* taken, SourceLine* line) {
    const size_t unread = reader->end - reader->begin;
    const char* start = reader->bytes + reader->begin;
    const size_t window = unread < kMaxReadLineBytes + 1 ? unread : kMaxReadLineBytes + 1;
    const char* lf = static_cast<const char*>(memchr(start, '\n', window));
    if (lf != NULL) {
        const size_t lfAt = lf - start;
        const bool crLf = lfAt > 0 && lf[-1] == '\r';
        const size_t textLength = crLf ? lfAt - 1 : lfAt;
        if (textLength < kMaxReadLineBytes) {
            line->length = textLength;
            line->endsWithLf = true;
            *taken = lfAt + 1;
            return true;
        }
    } else if (unread <= kMaxReadLineBytes && !reader->ended) {
        return false;
    } else if (unread == 0) {
        *taken = 0;
        return true;
    }
    // A line cut at 9,999 bytes, or the last one of the file: it holds no CR LF pair.
    line->length = unread < kMaxReadLineBytes ? unread : kMaxReadLineBytes;
    line->endsWithLf = false;
    *taken = line->length;
    return true;
}

bool ReadSourceLine(SourceReader* reader, SourceLine* line) {
    size_t taken;
    while (!FindLineEnd(reader, &taken, line)) {
        RefillSource(reader);
    }
    if (taken == 0) {
        return false;
    }
    line->text = reader->bytes + reader->begin;
    line->nulAt = line->length;
    reader->begin += taken;
    if (reader->nextNul != kNoNul && reader->nextNul < reader->begin) {
        const size_t offset = reader->nextNul - (reader->begin - taken);
        if (offset < line->length) {
            line->nulAt = offset;
        }
        reader->nextNul = FindNul(reader, reader->begin);
    }
    return true;
}

// Where a run of bytes without an LF is longer than a read line, reads start every 9,999
// bytes within it; `sinceLf` is how far into its run a position lies.
static bool StartsReadLine(size_t sinceLf) {
    return sinceLf % kMaxReadLineBytes == 0;
}

// The last LF in [from, to), or NULL.
static const char* FindLastLf(const char* from, const char* to) {
    while (to > from) {
        if (*--to == '\n') {
            return to;
        }
    }
    return NULL;
}

bool SourceHasLineStartingWith(SourceReader* reader, const char* prefix, size_t prefixLength) {
    size_t sinceLf = 0;  // bytes of the current run that lie before `begin`
    for (;;) {
        if (reader->end - reader->begin < prefixLength) {
            if (reader->ended) {
                return false;
            }
            RefillSource(reader);
            continue;
        }
        // Positions whose whole prefix is in the buffer; the rest waits for the next chunk.
        const char* base = reader->bytes + reader->begin;
        const char* limit = reader->bytes + reader->end - (prefixLength - 1);
        const char* lfCursor = base;  // the runs before it are known
        const char* lastLf = NULL;
        for (const char* at = base; at < limit; ++at) {
            at = static_cast<const char*>(memchr(at, prefix[0], limit - at));
            if (at == NULL) {
                break;
            }
            if (memcmp(at, prefix, prefixLength) != 0) {
                continue;
            }
            const char* lf = FindLastLf(lfCursor, at);
            if (lf != NULL) {
                lastLf = lf;
            }
            lfCursor = at;
            const size_t intoRun = lastLf != NULL ? at - (lastLf + 1) : sinceLf + (at - base);
            if (StartsReadLine(intoRun)) {
                return true;
            }
        }
        const char* lf = FindLastLf(lfCursor, limit);
        if (lf != NULL) {
            lastLf = lf;
        }
        sinceLf = lastLf != NULL ? limit - (lastLf + 1) : sinceLf + (limit - base);
        reader->begin = limit - reader->bytes;
        if (reader->ended) {
            return false;
        }
        RefillSource(reader);
    }
}
