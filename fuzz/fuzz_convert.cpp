// Fuzzes ConvertStreams against a slow, plain model of the conversion written from the rules
// of the subtitle format, and checks properties every output must have.
//
// Input: the first byte picks the interval (1 + byte % 60). The rest spells the source:
// every byte stands for itself except 0xFF, which starts a directive:
//   FF 00          a literal 0xFF byte
//   FF k h l p...  the next k (1..255) bytes p repeated h * 256 + l + 1 times
// so that a few bytes can make lines longer than 9,999 bytes and sources longer than a
// read chunk of the converter. Sources stop before their 2,001st LF: every line costs an
// entry, and long sources are meant to come from long lines, which are cheap.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "convert/convert.h"

namespace {

// Past two chunks of the converter's reader (256 KiB and a read line each).
const size_t kMaxSourceBytes = 600000;
const size_t kMaxLineEnds = 2000;
const size_t kReadLineBytes = 9999;
const char kMarkerBytes[] = "<<\x89\xfc\x8d\x73";  // "<<改行" in Shift-JIS

std::string ExpandSource(const uint8_t* data, size_t size) {
    std::string source;
    source.reserve(size);
    size_t i = 0;
    while (i < size && source.size() < kMaxSourceBytes) {
        const uint8_t byte = data[i++];
        if (byte != 0xFF) {
            source += static_cast<char>(byte);
            continue;
        }
        if (i >= size) {
            break;
        }
        const size_t patternLength = data[i++];
        if (patternLength == 0) {
            source += '\xff';
            continue;
        }
        if (i + 2 > size) {
            break;
        }
        const size_t times = data[i] * 256 + data[i + 1] + 1;
        i += 2;
        const size_t available = size - i < patternLength ? size - i : patternLength;
        const std::string pattern(reinterpret_cast<const char*>(data + i), available);
        i += available;
        for (size_t t = 0; t < times && source.size() < kMaxSourceBytes; ++t) {
            source += pattern;
        }
    }
    if (source.size() > kMaxSourceBytes) {
        source.resize(kMaxSourceBytes);
    }
    size_t lf = source.find('\n');
    for (size_t count = 1; lf != std::string::npos; ++count) {
        if (count > kMaxLineEnds) {
            source.resize(lf);
            break;
        }
        lf = source.find('\n', lf + 1);
    }
    return source;
}

// What a text-mode read sees: CR LF becomes LF, and a 0x1A byte ends the input.
std::string ReadAsText(const std::string& file) {
    const std::string input = file.substr(0, file.find('\x1a'));
    std::string text;
    size_t at = 0;
    size_t pair;
    while ((pair = input.find("\r\n", at)) != std::string::npos) {
        text.append(input, at, pair - at);  // the LF that follows stands for the pair
        at = pair + 1;
    }
    text.append(input, at, std::string::npos);
    return text;
}

// A read takes up to and including the next LF if it comes within 9,999 bytes; otherwise
// 9,999 bytes; otherwise what is left.
struct ReadLine {
    size_t start;
    size_t length;
};

std::vector<ReadLine> SplitReadLines(const std::string& text) {
    std::vector<ReadLine> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t lf = text.find('\n', at);
        size_t length = lf == std::string::npos ? text.size() - at : lf - at + 1;
        if (length > kReadLineBytes) {
            length = kReadLineBytes;
        }
        lines.push_back(ReadLine{at, length});
        at += length;
    }
    return lines;
}

bool IsMarker(const std::string& text, const ReadLine& line) {
    return line.length >= 6 && text.compare(line.start, 6, kMarkerBytes) == 0;
}

// A read line written as a C string: up to its first NUL.
void PutCString(const std::string& text, const ReadLine& line, std::string* written) {
    const char* start = text.data() + line.start;
    const void* nul = memchr(start, '\0', line.length);
    written->append(start, nul != NULL ? static_cast<const char*>(nul) - start : line.length);
}

void PutHeading(int number, int* h, int* m, int* s, int interval, std::string* written) {
    char text[128];
    int length = snprintf(text, sizeof(text), "%d\n%02d:%02d:%02d,000 --> ", number, *h, *m, *s);
    *s += interval;
    if (*s >= 60) {
        *s = 0;
        *m += 1;
    }
    if (*m >= 60) {
        *m = 0;
        *h += 1;
    }
    length += snprintf(text + length, sizeof(text) - length, "%02d:%02d:%02d,000\n", *h, *m, *s);
    written->append(text, length);
}

std::string ModelSubtitle(const std::string& file, int interval) {
    const std::string text = ReadAsText(file);
    const std::vector<ReadLine> lines = SplitReadLines(text);
    bool markerMode = false;
    for (const ReadLine& line : lines) {
        markerMode = markerMode || IsMarker(text, line);
    }
    std::string written;  // as handed to a text-mode stream
    written.reserve(text.size() + lines.size() * 48);
    int number = 1, h = 0, m = 0, s = 0;
    size_t next = 0;
    while (next < lines.size()) {
        PutHeading(number++, &h, &m, &s, interval, &written);
        PutCString(text, lines[next++], &written);
        if (!markerMode) {
            written += '\n';
            continue;
        }
        while (next < lines.size()) {
            const ReadLine& line = lines[next++];
            if (IsMarker(text, line)) {
                written += '\n';
                break;
            }
            PutCString(text, line, &written);
        }
    }
    std::string bytes;
    bytes.reserve(written.size() * 2);
    size_t at = 0;
    size_t lf;
    while ((lf = written.find('\n', at)) != std::string::npos) {
        bytes.append(written, at, lf - at);
        bytes += "\r\n";
        at = lf + 1;
    }
    bytes.append(written, at, std::string::npos);
    return bytes;
}

std::string ReadAll(FILE* stream) {
    std::string bytes;
    rewind(stream);
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), stream)) > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

void Fail(const char* what, const std::string& expected, const std::string& actual) {
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    fprintf(stderr, "fuzz_convert: %s (expected %zu bytes, got %zu, first difference at %zu)\n",
            what, expected.size(), actual.size(), at);
    abort();
}

void Check(bool ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "fuzz_convert: %s\n", what);
        abort();
    }
}

// Reads "H...H:MM:SS,000" at `at`; returns the seconds since 00:00:00, or -1.
long long ParseClock(const std::string& text, size_t at, size_t* end) {
    long long hours = 0;
    size_t i = at;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        hours = hours * 10 + (text[i++] - '0');
    }
    if (i - at < 2 || i - at > 12 || text.size() < i + 10) {
        return -1;
    }
    const char* rest = text.c_str() + i;
    for (int k : {1, 2, 4, 5}) {
        if (rest[k] < '0' || rest[k] > '9') {
            return -1;
        }
    }
    if (rest[0] != ':' || rest[3] != ':' || memcmp(rest + 6, ",000", 4) != 0) {
        return -1;
    }
    const int minutes = (rest[1] - '0') * 10 + (rest[2] - '0');
    const int seconds = (rest[4] - '0') * 10 + (rest[5] - '0');
    if (minutes > 59 || seconds > 59) {
        return -1;
    }
    *end = i + 10;
    return hours * 3600 + minutes * 60 + seconds;
}

// Properties of any subtitle file. The entry headings are found through their arrows, which
// only works when the source cannot supply an arrow itself.
void CheckProperties(const std::string& file, const std::string& subtitle, int interval) {
    for (size_t lf = subtitle.find('\n'); lf != std::string::npos;
         lf = subtitle.find('\n', lf + 1)) {
        Check(lf > 0 && subtitle[lf - 1] == '\r', "an LF without a CR before it");
    }
    if (file.find('-') != std::string::npos) {
        return;
    }
    long long expectedNumber = 1;
    long long previousEnd = 0;
    size_t from = 0;
    size_t arrow;
    while ((arrow = subtitle.find(" --> ", from)) != std::string::npos) {
        // "N\r\nSTART --> END\r\n", at the start of the file or after a line end.
        const size_t timeLine = subtitle.rfind("\r\n", arrow);
        Check(timeLine != std::string::npos && timeLine > 0, "no number line before an arrow");
        const size_t lineEnd = subtitle.rfind("\r\n", timeLine - 1);
        const size_t numberStart = lineEnd == std::string::npos ? 0 : lineEnd + 2;
        const std::string number = subtitle.substr(numberStart, timeLine - numberStart);
        Check(number == std::to_string(expectedNumber), "entry numbers do not rise by one from 1");
        ++expectedNumber;
        size_t end;
        const long long start = ParseClock(subtitle, timeLine + 2, &end);
        Check(start >= 0 && end == arrow, "a badly formed start time");
        Check(start == previousEnd, "an entry does not start where the last one ended");
        const long long stop = ParseClock(subtitle, arrow + 5, &end);
        Check(stop > start && stop - start <= interval, "a badly formed or backward end time");
        Check(subtitle.compare(end, 2, "\r\n") == 0, "no line end after the end time");
        previousEnd = stop;
        from = end;
    }
}

// A new stream over a temporary file kept for the whole run, emptied: cheaper than a new
// temporary file for every input.
FILE* OpenEmptied(FILE* file) {
    Check(file != NULL, "no temporary file");
    Check(ftruncate(fileno(file), 0) == 0, "emptying a temporary file");
    const int copy = dup(fileno(file));
    Check(copy >= 0 && lseek(copy, 0, SEEK_SET) == 0, "reopening a temporary file");
    FILE* stream = fdopen(copy, "w+b");
    Check(stream != NULL, "reopening a temporary file");
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int interval = 1 + data[0] % 60;
    const std::string file = ExpandSource(data + 1, size - 1);

    static FILE* sourceFile = tmpfile();
    static FILE* subtitleFile = tmpfile();
    FILE* source = OpenEmptied(sourceFile);
    FILE* subtitle = OpenEmptied(subtitleFile);
    Check(fwrite(file.data(), 1, file.size(), source) == file.size(), "writing the source");
    Check(fflush(source) == 0, "flushing the source");
    rewind(source);

    Check(ConvertStreams(source, subtitle, interval, 1), "ConvertStreams reported a failure");
    fflush(subtitle);
    const std::string after = ReadAll(source);
    const std::string actual = ReadAll(subtitle);
    fclose(source);
    fclose(subtitle);

    if (after != file) {
        Fail("the source changed", file, after);
    }
    CheckProperties(file, actual, interval);
    const std::string expected = ModelSubtitle(file, interval);
    if (actual != expected) {
        Fail("the subtitle differs from the model", expected, actual);
    }
    return 0;
}
