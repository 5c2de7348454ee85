// The two heading lines of each subtitle entry, "N" and "start --> end", kept as text
// between entries so that a conversion formats only what changes.
#pragma once

#include <stddef.h>

const size_t kEntryNumberDigits = 24;  // room to count far past 64 bits
const size_t kClockTextBytes = 48;     // "HH:MM:SS,000" for any 64-bit field values
const size_t kEntryHeadingMaxBytes = kEntryNumberDigits + 2 + 2 * kClockTextBytes + 5 + 2;

// Hours have no upper bound; minutes and seconds stay below 60 for intervals of 1 to 60.
struct SubtitleClock {
    long long hours;
    long long minutes;
    long long seconds;
};

struct EntryHeading {
    char number[kEntryNumberDigits];  // decimal digits right-aligned; [numberStart, end)
    size_t numberStart;
    SubtitleClock clock;
    int intervalSeconds;
    char startText[kClockTextBytes];  // the current clock, formatted
    size_t startLength;
};

// Steps the clock by one interval. Seconds that reach 60 start again at 0, not at the excess.
void AdvanceClock(SubtitleClock* clock, int intervalSeconds);

// Formats the clock as "%02d:%02d:%02d,000" would; returns the length.
size_t FormatClock(const SubtitleClock* clock, char* out);

void StartEntryHeading(EntryHeading* heading, long long firstNumber, int intervalSeconds);

// Writes "N\r\nstart --> end\r\n" (at most kEntryHeadingMaxBytes), then moves on to the
// next number and lets the end time become the next start. Returns the length.
size_t FormatEntryHeading(EntryHeading* heading, char* out);
