// The converter, driven through real files: every case checks the subtitle bytes and that
// the source is byte-for-byte as it was.
#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "convert/source_reader.h"
#include "shared/globals.h"
#include "test_files.h"

namespace {

// "<<改行>>" in Shift-JIS, written out by hand.
const std::string kMarker = "<<\x89\xfc\x8d\x73>>";
// The same marker in UTF-8, which must not count as one.
const std::string kUtf8Marker = "<<\xe6\x94\xb9\xe8\xa1\x8c>>";

// The number line and the time line of one entry, as a reader of the format writes them.
std::string Heading(const char* number, const char* start, const char* end) {
    return std::string(number) + "\r\n" + start + ",000 --> " + end + ",000\r\n";
}

const std::string H1 = Heading("1", "00:00:00", "00:00:05");
const std::string H2 = Heading("2", "00:00:05", "00:00:10");
const std::string H3 = Heading("3", "00:00:10", "00:00:15");
const std::string H4 = Heading("4", "00:00:15", "00:00:20");

class ConvertTest : public ::testing::Test {
   protected:
    void SetUp() override {
        folder_ = MakeScratchFolder();
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Converts `source` as memo.txt at `interval` and returns the subtitle file's bytes,
    // checking on the way that the source was left as it was.
    std::string Convert(const std::string& source, int interval) {
        const std::string sourcePath = folder_ + "memo.txt";
        const std::string subtitlePath = folder_ + "memo.srt";
        WriteBytes(sourcePath, source);
        EXPECT_EQ(ConvertFile(sourcePath.c_str(), subtitlePath.c_str(), interval), kConverted);
        EXPECT_EQ(ReadBytes(sourcePath), source) << "the source was changed";
        return ReadBytes(subtitlePath);
    }

    std::string folder_;
};

struct ByteCase {
    const char* label;
    std::string source;
    std::string expected;
};

TEST_F(ConvertTest, ProducesExactBytes) {
    const std::string a9998(9998, 'a');
    const std::string a9999(9999, 'a');
    const ByteCase cases[] = {
        // One entry per line.
        {"two lines", "A\nB\n", H1 + "A\r\n\r\n" + H2 + "B\r\n\r\n"},
        {"empty source", "", ""},
        {"empty line is an entry", "A\n\nB\n",
         H1 + "A\r\n\r\n" + H2 + "\r\n\r\n" + H3 + "B\r\n\r\n"},
        {"no final line end", "A\nB", H1 + "A\r\n\r\n" + H2 + "B\r\n"},
        {"per cent signs", "100%\n%s %d %n\n", H1 + "100%\r\n\r\n" + H2 + "%s %d %n\r\n\r\n"},
        {"byte-order mark kept",
         "\xef\xbb\xbf"
         "A\n",
         H1 + "\xef\xbb\xbf"
              "A\r\n\r\n"},
        // 表 and ソ in Shift-JIS end in 0x5C, the backslash byte.
        {"shift-jis passes", "\x95\x5c\x83\x5c\n", H1 + "\x95\x5c\x83\x5c\r\n\r\n"},
        // Line ends and 0x1A.
        {"cr lf reads as lf", "Hello\r\nWorld\r\n", H1 + "Hello\r\n\r\n" + H2 + "World\r\n\r\n"},
        {"lone cr passes", "A\rB\n", H1 + "A\rB\r\n\r\n"},
        {"cr cr lf", "A\r\r\nB\n", H1 + "A\r\r\n\r\n" + H2 + "B\r\n\r\n"},
        {"cr at the very end", "A\r", H1 + "A\r\r\n"},
        {"cr before 0x1a", "A\r\x1a\n", H1 + "A\r\r\n"},
        {"0x1a at the start",
         "\x1a"
         "A\n",
         ""},
        {"0x1a in the middle",
         "A\nB\x1a"
         "C\nD\n",
         H1 + "A\r\n\r\n" + H2 + "B\r\n"},
        // NUL ends the text of its read line, and its LF with it.
        {"nul, one entry per line", std::string("A\0B\nC\n", 6), H1 + "A\r\n" + H2 + "C\r\n\r\n"},
        {"nul inside a group", std::string("A\0x\nB\n", 6) + kMarker + "\n", H1 + "AB\r\n\r\n"},
        {"nul hides the marker", std::string("<<\x89\0\x8d\x73\nA\n", 9),
         H1 + "<<\x89\r\n" + H2 + "A\r\n\r\n"},
        // Groups closed by marker lines.
        {"groups", "A\nB\n" + kMarker + "\nC\n" + kMarker + "\n",
         H1 + "A\r\nB\r\n\r\n" + H2 + "C\r\n\r\n"},
        {"crlf groups", "A\r\nB\r\n" + kMarker + "\r\nC\r\n" + kMarker + "\r\n",
         H1 + "A\r\nB\r\n\r\n" + H2 + "C\r\n\r\n"},
        {"last group unclosed", "A\n" + kMarker + "\nB\nC\n", H1 + "A\r\n\r\n" + H2 + "B\r\nC\r\n"},
        {"last group without line end", "A\n" + kMarker + "\nB\nC",
         H1 + "A\r\n\r\n" + H2 + "B\r\nC"},
        {"doubled marker starts the next entry",
         "A\n" + kMarker + "\n" + kMarker + "\nB\n" + kMarker + "\n",
         H1 + "A\r\n\r\n" + H2 + kMarker + "\r\nB\r\n\r\n"},
        {"marker first", kMarker + "\nA\n" + kMarker + "\n", H1 + kMarker + "\r\nA\r\n\r\n"},
        {"one late marker groups the whole file", "A\nB\nC\n" + kMarker + "\n",
         H1 + "A\r\nB\r\nC\r\n\r\n"},
        {"marker prefix alone and with text",
         "A\n<<\x89\xfc\x8d\x73\nB\n<<\x89\xfc\x8d\x73xyz\nC\n",
         H1 + "A\r\n\r\n" + H2 + "B\r\n\r\n" + H3 + "C\r\n"},
        {"utf-8 marker is text", "A\n" + kUtf8Marker + "\n",
         H1 + "A\r\n\r\n" + H2 + kUtf8Marker + "\r\n\r\n"},
        {"marker not at line start is text", "A " + kMarker + "\n",
         H1 + "A " + kMarker + "\r\n\r\n"},
        // The 9,999-byte read line; a CR LF pair counts as one byte.
        {"9,998 bytes", a9998 + "\n", H1 + a9998 + "\r\n\r\n"},
        {"9,998 bytes and cr lf", a9998 + "\r\n", H1 + a9998 + "\r\n\r\n"},
        {"9,999 bytes", a9999 + "\n", H1 + a9999 + "\r\n" + H2 + "\r\n\r\n"},
        {"10,000 bytes", a9999 + "b\n", H1 + a9999 + "\r\n" + H2 + "b\r\n\r\n"},
        {"9,998 bytes and a lone cr", a9998 + "\rb\n", H1 + a9998 + "\r\r\n" + H2 + "b\r\n\r\n"},
        {"long line inside a group", "A\n" + a9999 + a9999 + "b\n" + kMarker + "\n",
         H1 + "A\r\n" + a9999 + a9999 + "b\r\n\r\n"},
        {"the only marker begins a piece of a long line", a9999 + kMarker + "\nB\n",
         H1 + a9999 + "\r\n" + H2 + "B\r\n"},
        {"a marker inside a long line's piece is text", a9998 + kMarker + "\n",
         H1 + a9998 + "<\r\n" + H2 + kMarker.substr(1) + "\r\n\r\n"},
        {"a piece beginning with the marker closes a group",
         "A\n" + a9999 + kMarker + "\nB\n" + kMarker + "\n",
         H1 + "A\r\n" + a9999 + "\r\n" + H2 + "B\r\n\r\n"},
    };
    for (const ByteCase& c : cases) {
        EXPECT_EQ(Convert(c.source, 5), c.expected) << c.label;
    }
}

TEST_F(ConvertTest, SplitsA25000ByteLineIntoThreeEntries) {
    const std::string line =
        std::string(9999, 'x') + std::string(9999, 'y') + std::string(5002, 'z');
    EXPECT_EQ(Convert(line + "\n", 5), H1 + std::string(9999, 'x') + "\r\n" + H2 +
                                           std::string(9999, 'y') + "\r\n" + H3 +
                                           std::string(5002, 'z') + "\r\n\r\n");
}

// The entries that lines of plain text (no marker, no NUL) become at 5 seconds.
std::string EntriesAtFiveSeconds(const std::vector<std::string>& texts) {
    std::string expected;
    int seconds = 0;
    for (size_t i = 0; i < texts.size(); ++i, seconds += 5) {
        char heading[96];
        const int next = seconds + 5;
        snprintf(heading, sizeof(heading), "%d\r\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\r\n",
                 static_cast<int>(i + 1), seconds / 3600, seconds / 60 % 60, seconds % 60,
                 next / 3600, next / 60 % 60, next % 60);
        expected += heading + texts[i] + "\r\n\r\n";
    }
    return expected;
}

// Lines spread over many reads of the file come out whole, and a CR LF pair split between
// two reads still reads as one LF, wherever the split falls.
TEST_F(ConvertTest, LinesAcrossReadsComeOutWhole) {
    // Short lines, then a line of g's whose CR falls at `offset` of the file and is followed
    // by `after` and an LF.
    auto build = [](size_t offset, const std::string& after, std::vector<std::string>* texts) {
        std::string source;
        while (source.size() + 200 < offset) {
            texts->push_back(std::string(97 + source.size() % 5, 'f'));
            source += texts->back() + "\r\n";
        }
        const std::string gs(offset - source.size(), 'g');
        texts->push_back(after.empty() ? gs : gs + "\r" + after);
        return source + gs + "\r" + after + "\n";
    };
    for (size_t shift = 0; shift < 4; ++shift) {
        std::vector<std::string> texts;
        std::string source = build(kSourceBufferBytes - 1 - shift, "", &texts);
        for (int i = 0; i < 1500; ++i) {
            texts.push_back(std::string(i % 89, static_cast<char>('a' + i % 26)));
            source += texts.back() + "\r\n";
        }
        EXPECT_EQ(Convert(source, 5), EntriesAtFiveSeconds(texts)) << "shift " << shift;
    }
    // A marker line split between two reads still groups the whole file.
    for (size_t shift = 0; shift < 7; ++shift) {
        std::vector<std::string> texts;
        const std::string source =
            build(kSourceBufferBytes - 3 - shift, "", &texts) + kMarker + "\nB\n";
        std::string group;
        for (const std::string& text : texts) {
            group += text + "\r\n";
        }
        EXPECT_EQ(Convert(source, 5), H1 + group + "\r\n" + H2 + "B\r\n") << "shift " << shift;
    }
    // A long line running over into the next read, with a marker where its second piece
    // begins.
    {
        std::vector<std::string> texts;
        std::string source = build(kSourceBufferBytes - 5000, "", &texts);
        const std::string longLine(kMaxReadLineBytes, 'L');
        source += longLine + kMarker + "\n";
        std::string group;
        for (const std::string& text : texts) {
            group += text + "\r\n";
        }
        EXPECT_EQ(Convert(source, 5), H1 + group + longLine + "\r\n");
    }
    // A line longer than several reads, with a marker where its 81st piece begins.
    {
        const std::string longLine(80 * kMaxReadLineBytes, 'L');
        EXPECT_EQ(Convert(longLine + kMarker + "\n", 5), H1 + longLine + "\r\n");
    }
    // A lone CR as the last byte of a read stays a CR.
    std::vector<std::string> texts;
    const std::string source = build(kSourceBufferBytes - 1, "end", &texts);
    EXPECT_EQ(Convert(source, 5), EntriesAtFiveSeconds(texts));
}

struct ClockCase {
    int interval;
    int lines;
    int entry;
    const char* heading;  // the number line and the time line of that entry
};

TEST_F(ConvertTest, RunsTheClock) {
    const ClockCase cases[] = {
        {5, 13, 12, "12\r\n00:00:55,000 --> 00:01:00,000\r\n"},
        {5, 13, 13, "13\r\n00:01:00,000 --> 00:01:05,000\r\n"},
        // Seconds that pass 59 start again at 0, dropping the excess.
        {7, 10, 9, "9\r\n00:00:56,000 --> 00:01:00,000\r\n"},
        {7, 10, 10, "10\r\n00:01:00,000 --> 00:01:07,000\r\n"},
        {7, 19, 18, "18\r\n00:01:56,000 --> 00:02:00,000\r\n"},
        {60, 61, 60, "60\r\n00:59:00,000 --> 01:00:00,000\r\n"},
        {60, 61, 61, "61\r\n01:00:00,000 --> 01:01:00,000\r\n"},
        {60, 6001, 6001, "6001\r\n100:00:00,000 --> 100:01:00,000\r\n"},
        {60, 6003, 6003, "6003\r\n100:02:00,000 --> 100:03:00,000\r\n"},
        {5, 722, 720, "720\r\n00:59:55,000 --> 01:00:00,000\r\n"},
        {5, 722, 722, "722\r\n01:00:05,000 --> 01:00:10,000\r\n"},
        {7, 9000, 9000, "9000\r\n16:39:56,000 --> 16:40:00,000\r\n"},
        {1, 3, 3, "3\r\n00:00:02,000 --> 00:00:03,000\r\n"},
    };
    for (const ClockCase& c : cases) {
        std::string source;
        for (int i = 0; i < c.lines; ++i) {
            source += "t\n";
        }
        const std::string output = Convert(source, c.interval);
        const std::string entry = std::string(c.heading) + "t\r\n\r\n";
        const std::string wanted = c.entry == 1 ? entry : "\r\n\r\n" + entry;
        const size_t found = output.find(wanted);
        EXPECT_NE(found, std::string::npos) << "interval " << c.interval << " entry " << c.entry;
        if (c.entry == c.lines) {
            EXPECT_EQ(found + wanted.size(), output.size()) << "the last entry ends the file";
        }
    }
}

// Numbers keep rising past the largest 32-bit value and carry into new digits.
TEST(ConvertStreamsTest, EntryNumbersNeverWrap) {
    struct {
        long long first;
        const char* second;
    } const cases[] = {{2147483647LL, "2147483648"}, {9, "10"}, {4294967295LL, "4294967296"}};
    for (const auto& c : cases) {
        FILE* source = tmpfile();
        FILE* subtitle = tmpfile();
        ASSERT_TRUE(source != nullptr && subtitle != nullptr);
        fputs("A\nB\n", source);
        rewind(source);
        EXPECT_TRUE(ConvertStreams(source, subtitle, 5, c.first));
        rewind(subtitle);
        char bytes[256] = {0};
        fread(bytes, 1, sizeof(bytes) - 1, subtitle);
        const std::string expected = std::to_string(c.first) +
                                     "\r\n00:00:00,000 --> 00:00:05,000\r\nA\r\n\r\n" + c.second +
                                     "\r\n00:00:05,000 --> 00:00:10,000\r\nB\r\n\r\n";
        EXPECT_EQ(std::string(bytes), expected);
        fclose(source);
        fclose(subtitle);
    }
}

TEST_F(ConvertTest, DropConvertsBesideTheSourceAtTheCurrentInterval) {
    const std::string source = "A\nB\n";
    const std::string sourcePath = folder_ + "talk.TXT";
    WriteBytes(sourcePath, source);
    WriteBytes(folder_ + "talk.srt", "an older subtitle file, longer than the new one\n");
    snprintf(g_droppedPath, sizeof(g_droppedPath), "%s", sourcePath.c_str());
    g_intervalSeconds = 12;
    ConvertDroppedFile();
    g_intervalSeconds = kDefaultIntervalSeconds;
    EXPECT_EQ(std::string(g_subtitlePath), folder_ + "talk.srt");
    EXPECT_EQ(ReadBytes(folder_ + "talk.srt"), Heading("1", "00:00:00", "00:00:12") + "A\r\n\r\n" +
                                                   Heading("2", "00:00:12", "00:00:24") +
                                                   "B\r\n\r\n");
    EXPECT_EQ(ReadBytes(sourcePath), source);
}

// A source that cannot be opened creates nothing and truncates nothing.
TEST_F(ConvertTest, UnopenableSourceLeavesEverythingAlone) {
    const std::string older = "older subtitle\r\n";
    WriteBytes(folder_ + "gone.srt", older);
    EXPECT_EQ(ConvertFile((folder_ + "gone.txt").c_str(), (folder_ + "gone.srt").c_str(), 5),
              kSourceNotOpened);
    EXPECT_EQ(ReadBytes(folder_ + "gone.srt"), older);

    std::filesystem::create_directory(folder_ + "notes.txt");
    EXPECT_EQ(ConvertFile((folder_ + "notes.txt").c_str(), (folder_ + "notes.srt").c_str(), 5),
              kSourceNotOpened);
    EXPECT_FALSE(FileExists(folder_ + "notes.srt"));
}

// memo.txt.srt passes the name test and derives its own name: it must stay whole.
TEST_F(ConvertTest, SubtitleNamingTheSourceNeverTouchesIt) {
    const std::string source = "precious\nlines\n";
    const std::string path = folder_ + "memo.txt.srt";
    WriteBytes(path, source);
    snprintf(g_droppedPath, sizeof(g_droppedPath), "%s", path.c_str());
    ConvertDroppedFile();
    EXPECT_EQ(std::string(g_subtitlePath), path);
    EXPECT_EQ(ReadBytes(path), source);
    EXPECT_NE(ConvertFile(path.c_str(), path.c_str(), 5), kConverted);
    EXPECT_EQ(ReadBytes(path), source);
}

#ifdef _WIN32
#include <share.h>

// Another letter case names the same file on Windows; the source's share mode must make
// the subtitle's creation fail before anything is truncated.
TEST_F(ConvertTest, SubtitleInAnotherLetterCaseNeverTouchesTheSource) {
    const std::string source = "precious\n";
    const std::string path = folder_ + "memo.txt.srt";
    WriteBytes(path, source);
    EXPECT_EQ(ConvertFile(path.c_str(), (folder_ + "memo.txt.SRT").c_str(), 5),
              kSubtitleNotCreated);
    EXPECT_EQ(ReadBytes(path), source);
}

// A file another program holds open: the source for writing (so it may be changing), or
// the subtitle file in any way. Neither file is touched.
TEST_F(ConvertTest, FilesHeldByAnotherProgramAreLeftAlone) {
    const struct {
        const char* held;
        const char* mode;
        ConvertOutcome outcome;
    } cases[] = {
        {"memo.txt", "ab", kSourceNotOpened},
        {"memo.srt", "rb", kSubtitleNotCreated},
    };
    for (const auto& c : cases) {
        const std::string source = "A\n";
        const std::string older = "older\r\n";
        WriteBytes(folder_ + "memo.txt", source);
        WriteBytes(folder_ + "memo.srt", older);
        FILE* holder = _fsopen((folder_ + c.held).c_str(), c.mode, _SH_DENYNO);
        ASSERT_TRUE(holder != nullptr);
        EXPECT_EQ(ConvertFile((folder_ + "memo.txt").c_str(), (folder_ + "memo.srt").c_str(), 5),
                  c.outcome)
            << c.held;
        fclose(holder);
        EXPECT_EQ(ReadBytes(folder_ + "memo.srt"), older) << c.held;
        EXPECT_EQ(ReadBytes(folder_ + "memo.txt"), source) << c.held;
    }
}
#else
// Another name of the same file: a symbolic or a hard link.
TEST_F(ConvertTest, SubtitleLinkedToTheSourceNeverTouchesIt) {
    const std::string source = "precious\n";
    WriteBytes(folder_ + "memo.txt", source);
    std::filesystem::create_symlink(folder_ + "memo.txt", folder_ + "memo.srt");
    EXPECT_EQ(ConvertFile((folder_ + "memo.txt").c_str(), (folder_ + "memo.srt").c_str(), 5),
              kSubtitleIsSource);
    EXPECT_EQ(ReadBytes(folder_ + "memo.txt"), source);

    std::filesystem::create_hard_link(folder_ + "memo.txt", folder_ + "other.srt");
    EXPECT_EQ(ConvertFile((folder_ + "memo.txt").c_str(), (folder_ + "other.srt").c_str(), 5),
              kSubtitleIsSource);
    EXPECT_EQ(ReadBytes(folder_ + "memo.txt"), source);
}
#endif

}  // namespace
