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

// "%02d": at least two digits, a leading zero for 0..9; a negative value keeps its sign and
// gets no padding.
static size_t FormatTwoDigitsAtLeast(long long value, char* out) {
    char reversed[24];
    size_t count = 0;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    size_t length = 0;
    if (negative) {
        out[length++] = '-';
    } else if (count < 2) {
        out[length++] = '0';
    }
    while (count > 0) {
        out[length++] = reversed[--count];
    }
    return length;
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

static void FormatNumber(EntryHeading* heading, long long number) {
    size_t start = kEntryNumberDigits;
    unsigned long long rest = static_cast<unsigned long long>(number);
    do {
        heading->number[--start] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    heading->numberStart = start;
}

// Adds one to the decimal text in place, so the count never wraps at any integer width.
static void IncrementNumber(EntryHeading* heading) {
    size_t digit = kEntryNumberDigits;
    while (digit > heading->numberStart && heading->number[digit - 1] == '9') {
        heading->number[--digit] = '0';
    }
    if (digit > heading->numberStart) {
        heading->number[digit - 1] += 1;
    } else if (heading->numberStart > 0) {
        heading->number[--heading->numberStart] = '1';
    }
}

void StartEntryHeading(EntryHeading* heading, long long firstNumber, int intervalSeconds) {
    FormatNumber(heading, firstNumber > 0 ? firstNumber : 1);
    heading->clock.hours = 0;
    heading->clock.minutes = 0;
    heading->clock.seconds = 0;
    heading->intervalSeconds = intervalSeconds;
    heading->startLength = FormatClock(&heading->clock, heading->startText);
}

static bool IsTwoDigitField(long long value) {
    return value >= 0 && value < 100;
}

// Brings the clock text up to date after a step: on most steps only the seconds change, and
// only their two digits are rewritten.
static void UpdateClockText(EntryHeading* heading, const SubtitleClock* before) {
    const SubtitleClock* now = &heading->clock;
    if (now->hours == before->hours && now->minutes == before->minutes &&
        IsTwoDigitField(before->seconds) && IsTwoDigitField(now->seconds)) {
        const size_t secondsAt = heading->startLength - sizeof(",000") + 1 - 2;
        memcpy(heading->startText + secondsAt, kTwoDigits + 2 * now->seconds, 2);
    } else {
        heading->startLength = FormatClock(now, heading->startText);
    }
}

size_t FormatEntryHeading(EntryHeading* heading, char* out) {
    const size_t numberLength = kEntryNumberDigits - heading->numberStart;
    memcpy(out, heading->number + heading->numberStart, numberLength);
    size_t length = numberLength;
    memcpy(out + length, "\r\n", 2);
    length += 2;
    memcpy(out + length, heading->startText, heading->startLength);
    length += heading->startLength;
    memcpy(out + length, " --> ", 5);
    length += 5;

    const SubtitleClock before = heading->clock;
    AdvanceClock(&heading->clock, heading->intervalSeconds);
    UpdateClockText(heading, &before);
    memcpy(out + length, heading->startText, heading->startLength);
    length += heading->startLength;
    memcpy(out + length, "\r\n", 2);
    length += 2;

    IncrementNumber(heading);
    return length;
}
