// The rule for a typed interval, and the refusal each bad entry gets.
#include <gtest/gtest.h>

#include <string>

#include "interval/interval_check.h"
#include "shared/texts.h"

namespace {

TEST(IntervalCheck, JudgesTypedTexts) {
    const std::string tooLong(255, '9');
    const struct {
        std::string text;
        IntervalVerdict verdict;
        int value;
    } cases[] = {
        // Accepted, in base 10 whatever the leading zeros.
        {"5", kIntervalAccepted, 5},
        {"05", kIntervalAccepted, 5},
        {"010", kIntervalAccepted, 10},
        {"08", kIntervalAccepted, 8},
        {"0060", kIntervalAccepted, 60},
        {"1", kIntervalAccepted, 1},
        {"60", kIntervalAccepted, 60},
        // Not half-width digits.
        {"", kIntervalNotDigits, 0},
        {"-5", kIntervalNotDigits, 0},
        {"+5", kIntervalNotDigits, 0},
        {" 5", kIntervalNotDigits, 0},
        {"5 ", kIntervalNotDigits, 0},
        {"5.0", kIntervalNotDigits, 0},
        {"abc", kIntervalNotDigits, 0},
        {"\x82\x54", kIntervalNotDigits, 0},      // full-width 5 in Shift-JIS
        {"\xef\xbc\x95", kIntervalNotDigits, 0},  // full-width 5 in UTF-8
        // Out of range, however many digits.
        {"0", kIntervalTooSmall, 0},
        {"00", kIntervalTooSmall, 0},
        {"61", kIntervalTooLarge, 0},
        {"125", kIntervalTooLarge, 0},
        {"99999999999", kIntervalTooLarge, 0},
        {"2147483647", kIntervalTooLarge, 0},
        {"2147483648", kIntervalTooLarge, 0},
        {"4294967301", kIntervalTooLarge, 0},  // 2^32 + 5 must not wrap round to 5
        {tooLong, kIntervalTooLarge, 0},
    };
    for (const auto& c : cases) {
        const IntervalCheckResult result = CheckIntervalEntry(c.text.c_str());
        EXPECT_EQ(result.verdict, c.verdict) << '"' << c.text << '"';
        EXPECT_EQ(result.value, c.value) << '"' << c.text << '"';
    }
}

TEST(IntervalCheck, GivesEachRefusalItsMessage) {
    EXPECT_EQ(CheckIntervalEntry("5").message, nullptr);
    EXPECT_STREQ(CheckIntervalEntry("abc").message, kTextNotDigits);
    EXPECT_STREQ(CheckIntervalEntry("0").message, kTextTooSmall);
    EXPECT_STREQ(CheckIntervalEntry("61").message, kTextTooLarge);
}

TEST(IntervalCheck, IsAllDigitsNeedsAtLeastOneDigit) {
    EXPECT_FALSE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0"));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits("12a"));
    EXPECT_FALSE(IsAllDigits("/"));  // the bytes either side of the digits
    EXPECT_FALSE(IsAllDigits(":"));
}

}  // namespace
