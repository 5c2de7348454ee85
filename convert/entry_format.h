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

// The heading of the next entry, "N\r\nstart --> end\r\n", ready to be written.
struct EntryHeading {
    char text[kEntryHeadingMaxBytes];
    size_t length;
    size_t numberLength;  // the number's digits open the text
    SubtitleClock end;    // the next entry's end; its start is the one before's end
    int intervalSeconds;
    size_t clockLength;  // bytes of the start time
    bool sameHours;      // start and end share their hours and have two-digit fields
};

// Steps the clock by one interval. Seconds that reach 60 start again at 0, not at the excess.
void AdvanceClock(SubtitleClock* clock, int intervalSeconds);

// Formats the clock as "%02d:%02d:%02d,000" would; returns the length.
size_t FormatClock(const SubtitleClock* clock, char* out);

// The heading of the first entry: number firstNumber, from 00:00:00 to one interval later.
void StartEntryHeading(EntryHeading* heading, long long firstNumber, int intervalSeconds);

// Moves on to the heading of the entry after it.
void NextEntryHeading(EntryHeading* heading);
