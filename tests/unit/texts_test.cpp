// Every Shift-JIS text of the program, checked against iconv's CP932 encoding of the
// Japanese it should spell.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "shared/texts.h"
#include "test_files.h"

namespace {

std::string EncodeCp932(const std::string& utf8) {
    const std::string command = "printf '%s' '" + utf8 + "' | iconv -f UTF-8 -t CP932";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::string();
    }
    const std::string bytes = ReadStream(pipe);
    pclose(pipe);
    return bytes;
}

TEST(Texts, AreTheShiftJisOfTheirJapanese) {
    const struct {
        const char* bytes;
        const char* japanese;
    } cases[] = {
        {kTextWindowTitle, "Torvane"},
        {kTextVersion, "Torvane Ver1.3"},
        {kTextClassName, "ウィンドウクラス・ネーム"},
        {kTextGuideLine1, "ここにテキストファイル(.txt)を"},
        {kTextGuideLine2, "ドラックアンドドロップしてね。"},
        {kTextOnlyTxt, "txtのみです。"},
        {kTitleRefused, "駄目"},
        {kTitleVersion, "バージョン"},
        {kTitleError, "エラー"},
        {kTextNotDigits, "半角数値で入力して下さい。"},
        {kTextTooSmall, "小さ過ぎます。"},
        {kTextTooLarge, "大き過ぎます。"},
    };
    for (const auto& c : cases) {
        const std::string expected = EncodeCp932(c.japanese);
        ASSERT_FALSE(expected.empty()) << "iconv gave nothing for " << c.japanese;
        EXPECT_EQ(std::string(c.bytes), expected) << c.japanese;
    }
}

}  // namespace
