// A straightforward line-by-line converter to compare against: fgets into a 10,000-byte buffer,
// fprintf for numbers and times, two passes (marker scan, then conversion).
// Usage: baseline_fgets SOURCE SUBTITLE [INTERVAL]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kMarker[] = "\x3C\x3C\x89\xFC\x8D\x73";  // "<<改行" in Shift-JIS
const int kLineBufferSize = 10000;

bool IsMarkerLine(const char* line) {
    return strncmp(line, kMarker, sizeof(kMarker) - 1) == 0;
}

// Writes one read line, turning its final LF (or CR LF) into CR LF.
void WriteLine(FILE* out, char* line) {
    size_t len = strlen(line);
    bool ended = len > 0 && line[len - 1] == '\n';
    if (ended) {
        line[--len] = '\0';
        if (len > 0 && line[len - 1] == '\r') {
            line[--len] = '\0';
        }
    }
    fputs(line, out);
    if (ended) {
        fputs("\r\n", out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s SOURCE SUBTITLE [INTERVAL]\n", argv[0]);
        return 2;
    }
    const int interval = argc > 3 ? atoi(argv[3]) : 5;
    FILE* in = fopen(argv[1], "rb");
    if (!in) {
        perror(argv[1]);
        return 1;
    }
    FILE* out = fopen(argv[2], "wb");
    if (!out) {
        perror(argv[2]);
        fclose(in);
        return 1;
    }
    static char line[kLineBufferSize];

    bool markerMode = false;
    while (!markerMode && fgets(line, sizeof line, in)) {
        markerMode = IsMarkerLine(line);
    }
    rewind(in);

    int number = 1;
    int hours = 0, minutes = 0, seconds = 0;
    while (fgets(line, sizeof line, in)) {
        fprintf(out, "%d\r\n", number++);
        fprintf(out, "%02d:%02d:%02d,000 --> ", hours, minutes, seconds);
        seconds += interval;
        if (seconds >= 60) {
            seconds = 0;
            ++minutes;
        }
        if (minutes >= 60) {
            minutes = 0;
            ++hours;
        }
        fprintf(out, "%02d:%02d:%02d,000\r\n", hours, minutes, seconds);
        WriteLine(out, line);
        if (!markerMode) {
            fputs("\r\n", out);
            continue;
        }
        while (fgets(line, sizeof line, in)) {
            if (IsMarkerLine(line)) {
                fputs("\r\n", out);
                break;
            }
            WriteLine(out, line);
        }
    }
    fclose(in);
    return fclose(out) == 0 ? 0 : 1;
}
