// The conversion over two binary streams. Text-mode reading and writing are done here
// rather than by the C library, so the same bytes come out on every platform.
#include "convert/convert.h"

#include <string.h>

#include "convert/entry_format.h"
#include "convert/source_reader.h"

// "<<改行" in Shift-JIS: a read line that begins with these bytes closes a group.
static const char kMarker[] = "\x3c\x3c\x89\xfc\x8d\x73";
static const size_t kMarkerLength = sizeof(kMarker) - 1;

// Large writes straight from this buffer: the stream's own buffer is switched off, so each
// byte is copied once on its way to the file.
const size_t kSubtitleBufferBytes = 1024 * 1024;

struct SubtitleWriter {
    FILE* stream;
    size_t used;
    bool failed;
    char bytes[kSubtitleBufferBytes];
};

// Static rather than on the stack: a conversion runs inside a window procedure, and the
// program has one thread and converts one file at a time.
static SourceReader s_reader;
static SubtitleWriter s_writer;

static void FlushSubtitle(SubtitleWriter* writer) {
    if (writer->used > 0 &&
        fwrite(writer->bytes, 1, writer->used, writer->stream) != writer->used) {
        writer->failed = true;
    }
    writer->used = 0;
}

// Makes room for `length` bytes; every piece the converter writes at once fits the buffer.
static char* ReserveSubtitle(SubtitleWriter* writer, size_t length) {
    if (length > sizeof(writer->bytes) - writer->used) {
        FlushSubtitle(writer);
    }
    return writer->bytes + writer->used;
}

static bool IsMarkerLine(const SourceLine* line) {
    return line->length >= kMarkerLength && memcmp(line->text, kMarker, kMarkerLength) == 0;
}

// A read line is written as a C string would be: up to its first NUL, which also drops its
// line end. Every LF written reaches the file as CR LF.
static void PutTextLine(SubtitleWriter* writer, const SourceLine* line) {
    char* out = ReserveSubtitle(writer, line->length + 2);
    memcpy(out, line->text, line->nulAt);
    writer->used += line->nulAt;
    if (line->endsWithLf && line->nulAt == line->length) {
        out[line->length] = '\r';
        out[line->length + 1] = '\n';
        writer->used += 2;
    }
}

static void PutLineEnd(SubtitleWriter* writer) {
    char* out = ReserveSubtitle(writer, 2);
    out[0] = '\r';
    out[1] = '\n';
    writer->used += 2;
}

// The number line and the time line of the next entry; moves on to the one after.
static void PutEntryHeading(SubtitleWriter* writer, EntryHeading* heading) {
    char* out = ReserveSubtitle(writer, heading->length);
    memcpy(out, heading->text, heading->length);
    writer->used += heading->length;
    NextEntryHeading(heading);
}

bool ConvertStreams(FILE* source, FILE* subtitle, int intervalSeconds, long long firstEntryNumber) {
    SourceReader* reader = &s_reader;
    StartSourceReader(reader, source);
    const bool markerMode = SourceHasLineStartingWith(reader, kMarker, kMarkerLength);
    rewind(source);  // also clears the end-of-file and error indicators
    StartSourceReader(reader, source);

    SubtitleWriter* writer = &s_writer;
    writer->stream = subtitle;
    writer->used = 0;
    writer->failed = false;
    setvbuf(subtitle, NULL, _IONBF, 0);
    EntryHeading heading;
    StartEntryHeading(&heading, firstEntryNumber, intervalSeconds);

    SourceLine line;
    bool haveLine = ReadSourceLine(reader, &line);
    while (haveLine) {
        PutEntryHeading(writer, &heading);
        // The first line of an entry is never tested, so a marker line there is text.
        PutTextLine(writer, &line);
        if (!markerMode) {
            PutLineEnd(writer);
            haveLine = ReadSourceLine(reader, &line);
            continue;
        }
        for (;;) {
            haveLine = ReadSourceLine(reader, &line);
            if (!haveLine) {
                break;
            }
            if (IsMarkerLine(&line)) {
                PutLineEnd(writer);
                haveLine = ReadSourceLine(reader, &line);
                break;
            }
            PutTextLine(writer, &line);
        }
    }
    FlushSubtitle(writer);
    return !writer->failed;
}
