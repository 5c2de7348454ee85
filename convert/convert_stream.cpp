// The conversion over two binary streams. Text-mode reading and writing are done here
// rather than by the C library, so the same bytes come out on every platform.
#include "convert/convert.h"

#include <string.h>

#include "convert/entry_format.h"
#include "convert/source_reader.h"

// "<<改行" in Shift-JIS: a read line that begins with these bytes closes a group.
static const char kMarker[] = "\x3c\x3c\x89\xfc\x8d\x73";
static const size_t kMarkerLength = sizeof(kMarker) - 1;

enum { kSubtitleBufferBytes = 64 * 1024 };

struct SubtitleWriter {
    FILE* stream;
    size_t used;
    bool failed;
    char bytes[kSubtitleBufferBytes];
};

static void FlushSubtitle(SubtitleWriter* writer) {
    if (writer->used > 0 &&
        fwrite(writer->bytes, 1, writer->used, writer->stream) != writer->used) {
        writer->failed = true;
    }
    writer->used = 0;
}

// Makes room for `length` bytes; every single piece the converter writes fits the buffer.
static char* ReserveSubtitle(SubtitleWriter* writer, size_t length) {
    if (length > sizeof(writer->bytes) - writer->used) {
        FlushSubtitle(writer);
    }
    return writer->bytes + writer->used;
}

static void PutSubtitle(SubtitleWriter* writer, const char* text, size_t length) {
    memcpy(ReserveSubtitle(writer, length), text, length);
    writer->used += length;
}

static bool IsMarkerLine(const char* line, size_t length) {
    return length >= kMarkerLength && memcmp(line, kMarker, kMarkerLength) == 0;
}

// A read line is written as a C string would be: up to its first NUL, which also drops its
// LF. Its own LF, as every LF written, reaches the file as CR LF.
static void PutTextLine(SubtitleWriter* writer, const char* line, size_t length) {
    const char* nul = static_cast<const char*>(memchr(line, '\0', length));
    if (nul != NULL) {
        PutSubtitle(writer, line, static_cast<size_t>(nul - line));
        return;
    }
    const bool endsWithLf = line[length - 1] == '\n';
    const size_t textLength = endsWithLf ? length - 1 : length;
    char* out = ReserveSubtitle(writer, textLength + 2);
    memcpy(out, line, textLength);
    if (endsWithLf) {
        out[textLength] = '\r';
        out[textLength + 1] = '\n';
        writer->used += textLength + 2;
    } else {
        writer->used += textLength;
    }
}

static void PutLineEnd(SubtitleWriter* writer) {
    PutSubtitle(writer, "\r\n", 2);
}

// The number line and the time line of the next entry; advances the number and the clock.
static void PutEntryHeading(SubtitleWriter* writer, EntryHeading* heading) {
    char* out = ReserveSubtitle(writer, kEntryHeadingMaxBytes);
    writer->used += FormatEntryHeading(heading, out);
}

// The first pass: does any read line, before the first one that is, start with the marker?
static bool SourceHasMarkerLine(SourceReader* reader) {
    const char* line;
    size_t length;
    while (ReadSourceLine(reader, &line, &length)) {
        if (IsMarkerLine(line, length)) {
            return true;
        }
    }
    return false;
}

bool ConvertStreams(FILE* source, FILE* subtitle, int intervalSeconds, long long firstEntryNumber) {
    SourceReader reader;
    StartSourceReader(&reader, source);
    const bool markerMode = SourceHasMarkerLine(&reader);
    rewind(source);  // also clears the end-of-file and error indicators
    StartSourceReader(&reader, source);

    SubtitleWriter writer;
    writer.stream = subtitle;
    writer.used = 0;
    writer.failed = false;
    EntryHeading heading;
    StartEntryHeading(&heading, firstEntryNumber, intervalSeconds);

    const char* line;
    size_t length;
    bool haveLine = ReadSourceLine(&reader, &line, &length);
    while (haveLine) {
        PutEntryHeading(&writer, &heading);
        // The first line of an entry is never tested, so a marker line there is text.
        PutTextLine(&writer, line, length);
        if (!markerMode) {
            PutLineEnd(&writer);
            haveLine = ReadSourceLine(&reader, &line, &length);
            continue;
        }
        for (;;) {
            haveLine = ReadSourceLine(&reader, &line, &length);
            if (!haveLine) {
                break;
            }
            if (IsMarkerLine(line, length)) {
                PutLineEnd(&writer);
                haveLine = ReadSourceLine(&reader, &line, &length);
                break;
            }
            PutTextLine(&writer, line, length);
        }
    }
    FlushSubtitle(&writer);
    return !writer.failed;
}
