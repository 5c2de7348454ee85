// The rule that decides whether a typed interval is taken, and which refusal is shown.
#pragma once

enum {
    kMinIntervalSeconds = 1,
    kMaxIntervalSeconds = 60,
};

enum IntervalVerdict {
    kIntervalAccepted,
    kIntervalNotDigits,  // empty, or anything besides the ASCII digits 0-9
    kIntervalTooSmall,   // 0
    kIntervalTooLarge,   // above 60, however many digits
};

struct IntervalCheckResult {
    IntervalVerdict verdict;
    int value;            // the accepted seconds; 0 when refused
    const char* message;  // the refusal in Shift-JIS; NULL when accepted
};

// True when text is not empty and every byte of it is an ASCII digit.
bool IsAllDigits(const char* text);

// Judges a NUL-terminated typed text. Pure: stores nothing.
IntervalCheckResult CheckIntervalEntry(const char* text);
