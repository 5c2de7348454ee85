// torvane-convert: converts text files to subtitle files from the command line, exactly as
// dropping each of them onto the Torvane window would.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "convert/convert.h"
#include "convert/name_test.h"
#include "interval/interval_check.h"
#include "shared/globals.h"

#ifndef TORVANE_VERSION
#define TORVANE_VERSION "1.3"
#endif

enum {
    kExitOk = 0,
    kExitSomeFileFailed = 1,
    kExitUsage = 2,
    kSubtitlePathBytes = 4096,
};

static const char kProgram[] = "torvane-convert";

static void PrintUsage(FILE* out) {
    fprintf(out,
            "Usage: %s [--interval N] FILE...\n"
            "Writes beside each FILE (a name holding \".txt\" or \".TXT\") a subtitle file named\n"
            "like it with its last four bytes replaced by \".srt\": one entry per line, or per\n"
            "group of lines closed by a line \"<<\x89\xfc\x8d\x73>>\" (Shift-JIS).\n"
            "\n"
            "  -i, --interval N  seconds between entries, 1 to 60 (default %d)\n"
            "  -h, --help        show this help and exit\n"
            "      --version     show the version and exit\n"
            "\n"
            "Exit status: 0 if every file was converted, 1 if any was not, 2 on a usage error.\n",
            kProgram, kDefaultIntervalSeconds);
}

static int UsageError(const char* message, const char* detail) {
    fprintf(stderr, "%s: %s%s\nTry '%s --help' for more information.\n", kProgram, message, detail,
            kProgram);
    return kExitUsage;
}

static const char* DescribeIntervalRefusal(IntervalVerdict verdict) {
    switch (verdict) {
        case kIntervalNotDigits: return "is not a whole number written in the digits 0-9";
        case kIntervalTooSmall: return "is too small (the least is 1 second)";
        case kIntervalTooLarge: return "is too large (the most is 60 seconds)";
        case kIntervalAccepted: break;
    }
    return "";
}

// Judges N by the same rule as the interval dialog; on refusal explains it on stderr.
static bool ParseInterval(const char* text, int* seconds) {
    const IntervalCheckResult result = CheckIntervalEntry(text);
    if (result.verdict != kIntervalAccepted) {
        fprintf(stderr, "%s: interval '%s' %s\nTry '%s --help' for more information.\n", kProgram,
                text, DescribeIntervalRefusal(result.verdict), kProgram);
        return false;
    }
    *seconds = result.value;
    return true;
}

static void ReportFailure(const char* path, const char* subtitlePath, ConvertOutcome outcome,
                          int reason) {
    switch (outcome) {
        case kSourceNotOpened:
            fprintf(stderr, "%s: %s: cannot open: %s\n", kProgram, path, strerror(reason));
            break;
        case kSubtitleIsSource:
            fprintf(stderr, "%s: %s: the subtitle file %s would be the source itself; skipped\n",
                    kProgram, path, subtitlePath);
            break;
        case kSubtitleNotCreated:
            fprintf(stderr, "%s: %s: cannot create %s: %s\n", kProgram, path, subtitlePath,
                    strerror(reason));
            break;
        case kSubtitleWriteFailed:
            fprintf(stderr, "%s: %s: writing %s failed; it is incomplete\n", kProgram, path,
                    subtitlePath);
            break;
        case kConverted: break;
    }
}

// Converts one file as a drop of it would; returns false (and says why) if it was not.
static bool ConvertOne(const char* path, int intervalSeconds) {
    if (!HasTextFileName(path)) {
        fprintf(stderr, "%s: %s: not a text file (the name must hold \".txt\" or \".TXT\")\n",
                kProgram, path);
        return false;
    }
    static char subtitlePath[kSubtitlePathBytes];
    if (!DeriveSubtitlePath(path, subtitlePath, sizeof(subtitlePath))) {
        fprintf(stderr, "%s: %s: path too long\n", kProgram, path);
        return false;
    }
    errno = 0;
    const ConvertOutcome outcome = ConvertFile(path, subtitlePath, intervalSeconds);
    if (outcome != kConverted) {
        ReportFailure(path, subtitlePath, outcome, errno);
        return false;
    }
    return true;
}

// Option words, whose N follows them, may stand anywhere before "--"; the rest are files.
static bool IsIntervalOption(const char* arg) {
    return strcmp(arg, "-i") == 0 || strcmp(arg, "--interval") == 0;
}

// First pass: the options. Returns kExitOk to go on, or the exit status to end with.
static int ReadOptions(int argc, char** argv, int* intervalSeconds, bool* done) {
    int files = 0;
    *done = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            files += argc - i - 1;
            break;
        }
        if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            PrintUsage(stdout);
            *done = true;
            return kExitOk;
        }
        if (strcmp(arg, "--version") == 0) {
            printf("%s (Torvane) %s\n", kProgram, TORVANE_VERSION);
            *done = true;
            return kExitOk;
        }
        if (IsIntervalOption(arg)) {
            if (i + 1 >= argc) {
                return UsageError("option requires an argument: ", arg);
            }
            if (!ParseInterval(argv[++i], intervalSeconds)) {
                return kExitUsage;
            }
        } else if (strncmp(arg, "--interval=", 11) == 0) {
            if (!ParseInterval(arg + 11, intervalSeconds)) {
                return kExitUsage;
            }
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return UsageError("unknown option: ", arg);
        } else {
            ++files;
        }
    }
    return files > 0 ? kExitOk : UsageError("no FILE given", "");
}

int main(int argc, char** argv) {
    int intervalSeconds = kDefaultIntervalSeconds;
    bool done;
    const int optionStatus = ReadOptions(argc, argv, &intervalSeconds, &done);
    if (optionStatus != kExitOk || done) {
        return optionStatus;
    }
    int status = kExitOk;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded) {
            if (strcmp(arg, "--") == 0) {
                optionsEnded = true;
                continue;
            }
            if (IsIntervalOption(arg)) {
                ++i;
                continue;
            }
            if (arg[0] == '-' && arg[1] != '\0') {
                continue;
            }
        }
        if (!ConvertOne(arg, intervalSeconds)) {
            status = kExitSomeFileFailed;
        }
    }
    return status;
}
