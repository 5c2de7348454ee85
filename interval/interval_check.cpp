#include "interval/interval_check.h"

#include "shared/texts.h"

bool IsAllDigits(const char* text) {
    if (*text == '\0') {
        return false;
    }
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') {
            return false;
        }
    }
    return true;
}

// Base 10 whatever the leading zeros; saturates instead of overflowing, so a long run of
// digits can never wrap round to a small or negative value.
static int ParseSaturatedDecimal(const char* digits) {
    const int kLargest = 2147483647;
    int value = 0;
    for (; *digits != '\0'; ++digits) {
        const int digit = *digits - '0';
        if (value > (kLargest - digit) / 10) {
            return kLargest;
        }
        value = value * 10 + digit;
    }
    return value;
}

static IntervalCheckResult Refuse(IntervalVerdict verdict, const char* message) {
    IntervalCheckResult result = {verdict, 0, message};
    return result;
}

IntervalCheckResult CheckIntervalEntry(const char* text) {
    if (!IsAllDigits(text)) {
        return Refuse(kIntervalNotDigits, kTextNotDigits);
    }
    const int value = ParseSaturatedDecimal(text);
    if (value < kMinIntervalSeconds) {
        return Refuse(kIntervalTooSmall, kTextTooSmall);
    }
    if (value > kMaxIntervalSeconds) {
        return Refuse(kIntervalTooLarge, kTextTooLarge);
    }
    IntervalCheckResult accepted = {kIntervalAccepted, value, 0};
    return accepted;
}
