// Fuzzes the interval entry check against a plain model of the rule: ASCII digits only and
// not empty; then 0 is too small, anything above 60 too large, however many digits.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "interval/interval_check.h"
#include "shared/texts.h"

namespace {

const size_t kMaxEntryBytes = 255;

void Check(bool ok, const char* what, const char* text) {
    if (!ok) {
        fprintf(stderr, "fuzz_interval: %s for \"%s\"\n", what, text);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The edit box's text: at most 255 bytes, ending at its first NUL.
    char text[kMaxEntryBytes + 1];
    const size_t taken = size < kMaxEntryBytes ? size : kMaxEntryBytes;
    memcpy(text, data, taken);
    text[taken] = '\0';
    const size_t length = strlen(text);

    bool digits = length > 0;
    for (size_t i = 0; i < length; ++i) {
        digits = digits && text[i] >= '0' && text[i] <= '9';
    }
    // Without its leading zeros, a number of three or more digits is at least 100.
    size_t first = 0;
    while (first < length && text[first] == '0') {
        ++first;
    }
    const size_t significant = length - first;
    int value = 0;
    if (digits && significant <= 2) {
        value = atoi(text + first);
    }

    IntervalVerdict verdict = kIntervalAccepted;
    const char* message = NULL;
    if (!digits) {
        verdict = kIntervalNotDigits;
        message = kTextNotDigits;
    } else if (significant == 0) {
        verdict = kIntervalTooSmall;
        message = kTextTooSmall;
    } else if (significant > 2 || value > 60) {
        verdict = kIntervalTooLarge;
        message = kTextTooLarge;
    }

    Check(IsAllDigits(text) == digits, "IsAllDigits is wrong", text);
    const IntervalCheckResult result = CheckIntervalEntry(text);
    Check(result.verdict == verdict, "wrong verdict", text);
    if (verdict == kIntervalAccepted) {
        Check(result.value == value, "wrong accepted value", text);
        Check(result.message == NULL, "a message with an accepted value", text);
    } else {
        Check(result.value == 0, "a value with a refusal", text);
        Check(result.message != NULL && strcmp(result.message, message) == 0, "wrong message",
              text);
    }
    return 0;
}
