// Which dropped names are taken, and the subtitle name each one gets.
#include <gtest/gtest.h>

#include <string>

#include "convert/name_test.h"
#include "shared/globals.h"

namespace {

TEST(NameTest, TakesNamesHoldingDotTxtInExactCase) {
    const struct {
        const char* path;
        bool taken;
    } cases[] = {
        {"memo.txt", true},
        {"MEMO.TXT", true},
        {"memo.txt.bak", true},
        {"C:\\my.txt\\memo.doc", true},
        {".txt", true},
        {"memo.Txt", false},
        {"memo.tXT", false},
        {"memo.srt", false},
        {"C:\\data\\memo", false},
        {"memotxt", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasTextFileName(c.path), c.taken) << c.path;
    }
}

TEST(NameTest, ReplacesTheLastFourBytesWithSrt) {
    const struct {
        const char* source;
        const char* subtitle;
    } cases[] = {
        {"C:\\data\\talk.txt", "C:\\data\\talk.srt"},
        {"C:\\data\\a.txt.bak", "C:\\data\\a.txt.srt"},
        {"memo.TXT", "memo.srt"},
        {"memo.txt.srt", "memo.txt.srt"},
        {"C:\\my.txt\\memo", "C:\\my.txt\\.srt"},
        {".txt", ".srt"},
    };
    for (const auto& c : cases) {
        char subtitle[kPathBufferSize] = "unset";
        EXPECT_TRUE(DeriveSubtitlePath(c.source, subtitle, sizeof(subtitle))) << c.source;
        EXPECT_STREQ(subtitle, c.subtitle);
    }
}

TEST(NameTest, RefusesWhatDoesNotFit) {
    char subtitle[kPathBufferSize];
    EXPECT_FALSE(DeriveSubtitlePath("abc", subtitle, sizeof(subtitle)));
    const std::string longest = std::string(kPathBufferSize - 5, 'a') + ".txt";  // 259 bytes
    ASSERT_TRUE(DeriveSubtitlePath(longest.c_str(), subtitle, sizeof(subtitle)));
    EXPECT_EQ(std::string(subtitle), std::string(kPathBufferSize - 5, 'a') + ".srt");
    const std::string tooLong = "a" + longest;  // 260 bytes
    EXPECT_FALSE(DeriveSubtitlePath(tooLong.c_str(), subtitle, sizeof(subtitle)));
}

}  // namespace
