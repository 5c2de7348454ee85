#include "convert/entry_format.h"

#include <string.h>

void AdvanceClock(SubtitleClock* clock, int intervalSeconds) {
    clock->seconds += intervalSeconds;
    if (clock->seconds >= 60) {
        clock->seconds = 0;
        clock->minutes += 1;
    }
    if (clock->minutes >= 60) {
        clock->minutes = 0;
        clock->hours += 1;
    }
}

// The decimal digits of a value, most significant first; returns their count.
static size_t FormatDecimal(unsigned long long value, char* out) {
    char reversed[24];
    size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (size_t i = 0; i < count; ++i) {
        out[i] = reversed[count - 1 - i];
    }
    return count;
}

// "%02d": at least two digits, a leading zero for 0..9; a negative value keeps its sign and
// gets no padding.
static size_t FormatTwoDigitsAtLeast(long long value, char* out) {
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    size_t length = 0;
    if (negative) {
        out[length++] = '-';
    } else if (magnitude < 10) {
        out[length++] = '0';
    }
    return length + FormatDecimal(magnitude, out + length);
}

// "00" to "99", so that the usual fields take no division.
static const char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

static size_t FormatField(long long value, char* out) {
    if (value >= 0 && value < 100) {
        memcpy(out, kTwoDigits + 2 * value, 2);
        return 2;
    }
    return FormatTwoDigitsAtLeast(value, out);
}

size_t FormatClock(const SubtitleClock* clock, char* out) {
    size_t length = FormatField(clock->hours, out);
    out[length++] = ':';
    length += FormatField(clock->minutes, out + length);
    out[length++] = ':';
    length += FormatField(clock->seconds, out + length);
    memcpy(out + length, ",000", 4);
    return length + 4;
}

static bool HasTwoDigitFields(const SubtitleClock* clock) {
    return clock->minutes >= 0 && clock->minutes < 100 && clock->seconds >= 0 &&
           clock->seconds < 100;
}

static const size_t kArrowBytes = sizeof(" --> ") - 1;

// Lays out the whole heading after the number, which stays where it is.
static void LayOutHeading(EntryHeading* heading, const SubtitleClock* start) {
    char* out = heading->text + heading->numberLength;
    memcpy(out, "\r\n", 2);
    out += 2;
    const size_t clockLength = FormatClock(start, out);
    out += clockLength;
    memcpy(out, " --> ", kArrowBytes);
    out += kArrowBytes;
    out += FormatClock(&heading->end, out);
    memcpy(out, "\r\n", 2);
    out += 2;
    heading->length = out - heading->text;
    heading->clockLength = clockLength;
    heading->sameHours = start->hours == heading->end.hours && start->hours >= 0 &&
                         HasTwoDigitFields(start) && HasTwoDigitFields(&heading->end);
}

// Adds one to the number in place, so the count never wraps at any integer width. Returns
// true when it gained a digit, which moves everything after it.
static bool IncrementNumber(EntryHeading* heading) {
    size_t digit = heading->numberLength;
    while (digit > 0 && heading->text[digit - 1] == '9') {
        heading->text[--digit] = '0';
    }
    if (digit > 0) {
        heading->text[digit - 1] += 1;
        return false;
    }
    heading->text[0] = '1';
    heading->text[heading->numberLength++] = '0';
    return true;
}

void StartEntryHeading(EntryHeading* heading, long long firstNumber, int intervalSeconds) {
    heading->numberLength = FormatDecimal(
        static_cast<unsigned long long>(firstNumber > 0 ? firstNumber : 1), heading->text);
    heading->intervalSeconds = intervalSeconds;
    const SubtitleClock start = {0, 0, 0};
    heading->end = start;
    AdvanceClock(&heading->end, intervalSeconds);
    LayOutHeading(heading, &start);
}

// On most steps only the minutes and seconds change: the old end time, which has the same
// hours as the old start, moves into the start's place, and the new end is written over
// the old one's minutes and seconds.
void NextEntryHeading(EntryHeading* heading) {
    const bool numberGrew = IncrementNumber(heading);
    const SubtitleClock start = heading->end;
    AdvanceClock(&heading->end, heading->intervalSeconds);
    if (numberGrew || !heading->sameHours || heading->end.hours != start.hours ||
        !HasTwoDigitFields(&heading->end)) {
        LayOutHeading(heading, &start);
        return;
    }
    const size_t clockLength = heading->clockLength;
    char* startText = heading->text + heading->numberLength + 2;
    char* endText = startText + clockLength + kArrowBytes;
    memcpy(startText, endText, clockLength);
    memcpy(endText + clockLength - 9, kTwoDigits + 2 * heading->end.minutes, 2);
    memcpy(endText + clockLength - 6, kTwoDigits + 2 * heading->end.seconds, 2);
}
