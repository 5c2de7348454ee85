// Writes a benchmark source: Shift-JIS subtitle lines of 20 to 60 bytes, each ended by CR LF,
// either one entry per line or in groups of 1 to 3 lines closed by a marker line.
// Usage: gen_source OUTPUT BYTES lines|marker [SEED]
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Shift-JIS phrases; none begins with '<', so no text line is ever a marker line.
const char* const kPhrases[] = {
    // こんにちは
    "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD",
    // ありがとうございます
    "\x82\xA0\x82\xE8\x82\xAA\x82\xC6\x82\xA4\x82\xB2\x82\xB4\x82\xA2\x82\xDC\x82\xB7",
    // 今日はいい天気ですね
    "\x8D\xA1\x93\xFA\x82\xCD\x82\xA2\x82\xA2\x93\x56\x8B\x43\x82\xC5\x82\xB7\x82\xCB",
    // 本当に？
    "\x96\x7B\x93\x96\x82\xC9\x81\x48",
    // 行きましょう
    "\x8D\x73\x82\xAB\x82\xDC\x82\xB5\x82\xE5\x82\xA4",
    // 彼女は東京に住んでいる
    "\x94\xDE\x8F\x97\x82\xCD\x93\x8C\x8B\x9E\x82\xC9\x8F\x5A\x82\xF1\x82\xC5\x82\xA2\x82\xE9",
    // ちょっと待って
    "\x82\xBF\x82\xE5\x82\xC1\x82\xC6\x91\xD2\x82\xC1\x82\xC4",
    // どうしたの？
    "\x82\xC7\x82\xA4\x82\xB5\x82\xBD\x82\xCC\x81\x48",
    // 大丈夫です
    "\x91\xE5\x8F\xE4\x95\x76\x82\xC5\x82\xB7",
    // 分かりました
    "\x95\xAA\x82\xA9\x82\xE8\x82\xDC\x82\xB5\x82\xBD",
    // 明日また会おう
    "\x96\xBE\x93\xFA\x82\xDC\x82\xBD\x89\xEF\x82\xA8\x82\xA4",
    // それは違うと思う
    "\x82\xBB\x82\xEA\x82\xCD\x88\xE1\x82\xA4\x82\xC6\x8E\x76\x82\xA4",
    // 表の扉を開けて
    "\x95\x5C\x82\xCC\x94\xE0\x82\xF0\x8A\x4A\x82\xAF\x82\xC4",
    // ソファに座って
    "\x83\x5C\x83\x74\x83\x40\x82\xC9\x8D\xC0\x82\xC1\x82\xC4",
    // 先生が来ました
    "\x90\xE6\x90\xB6\x82\xAA\x97\x88\x82\xDC\x82\xB5\x82\xBD",
    // お腹が空いた
    "\x82\xA8\x95\xA0\x82\xAA\x8B\xF3\x82\xA2\x82\xBD",
    // 早く逃げろ！
    "\x91\x81\x82\xAD\x93\xA6\x82\xB0\x82\xEB\x81\x49",
    // 信じられない
    "\x90\x4D\x82\xB6\x82\xE7\x82\xEA\x82\xC8\x82\xA2",
    // もう一度言って
    "\x82\xE0\x82\xA4\x88\xEA\x93\x78\x8C\xBE\x82\xC1\x82\xC4",
    // 約束だよ
    "\x96\xF1\x91\xA9\x82\xBE\x82\xE6",
    // 時間がない
    "\x8E\x9E\x8A\xD4\x82\xAA\x82\xC8\x82\xA2",
    // 駅まで歩こう
    "\x89\x77\x82\xDC\x82\xC5\x95\xE0\x82\xB1\x82\xA4",
    // 電話してね
    "\x93\x64\x98\x62\x82\xB5\x82\xC4\x82\xCB",
    // 静かにして
    "\x90\xC3\x82\xA9\x82\xC9\x82\xB5\x82\xC4",
    // おはよう
    "\x82\xA8\x82\xCD\x82\xE6\x82\xA4",
    // さようなら
    "\x82\xB3\x82\xE6\x82\xA4\x82\xC8\x82\xE7",
    // 何をしているの
    "\x89\xBD\x82\xF0\x82\xB5\x82\xC4\x82\xA2\x82\xE9\x82\xCC",
    // 気をつけて
    "\x8B\x43\x82\xF0\x82\xC2\x82\xAF\x82\xC4",
    // （太郎）
    "\x81\x69\x91\xBE\x98\x59\x81\x6A",
    // （花子）
    "\x81\x69\x89\xD4\x8E\x71\x81\x6A",
    // 「はい」
    "\x81\x75\x82\xCD\x82\xA2\x81\x76",
    // 「いいえ」
    "\x81\x75\x82\xA2\x82\xA2\x82\xA6\x81\x76",
    // 、
    "\x81\x41",
    // 。
    "\x81\x42",
    // …
    "\x81\x63",
    // ――
    "\x81\x5C\x81\x5C",
    "!",
    "?",
    "...",
    " ",
    "100%",
    "1",
    "2",
    "3",
    "12",
    "(5)",
    "- ",
};
const int kPhraseCount = sizeof(kPhrases) / sizeof(kPhrases[0]);
const char kMarkerLine[] = "\x3C\x3C\x89\xFC\x8D\x73\x3E\x3E\r\n";  // <<改行>>
const int kMinText = 20;
const int kMaxText = 60;
const size_t kChunk = 1 << 20;

uint64_t g_rng = 0x9E3779B97F4A7C15ull;

uint32_t NextRandom() {
    g_rng ^= g_rng << 13;
    g_rng ^= g_rng >> 7;
    g_rng ^= g_rng << 17;
    return (uint32_t)(g_rng >> 32);
}

// Appends one text line of 20 to 60 bytes and its CR LF; returns the bytes written.
size_t AppendTextLine(char* out) {
    int target = kMinText + (int)(NextRandom() % (kMaxText - kMinText + 1));
    int len = 0;
    for (int misses = 0; misses < 8;) {
        const char* p = kPhrases[NextRandom() % kPhraseCount];
        int n = (int)strlen(p);
        if (len + n > target) {
            ++misses;
            continue;
        }
        memcpy(out + len, p, n);
        len += n;
    }
    while (len < target) {
        out[len++] = (char)('0' + NextRandom() % 10);
    }
    out[len++] = '\r';
    out[len++] = '\n';
    return len;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || (strcmp(argv[3], "lines") != 0 && strcmp(argv[3], "marker") != 0)) {
        fprintf(stderr, "usage: %s OUTPUT BYTES lines|marker [SEED]\n", argv[0]);
        return 2;
    }
    const unsigned long long wanted = strtoull(argv[2], nullptr, 10);
    const bool marker = strcmp(argv[3], "marker") == 0;
    if (argc > 4) {
        g_rng ^= strtoull(argv[4], nullptr, 10) * 0x2545F4914F6CDD1Dull;
    }
    FILE* out = fopen(argv[1], "wb");
    if (!out) {
        perror(argv[1]);
        return 1;
    }
    static char buffer[kChunk + 1024];
    size_t used = 0;
    unsigned long long total = 0;
    int groupLeft = -1;  // marker mode: text lines still due in the open group; -1: none open
    while (total < wanted || groupLeft >= 0) {
        size_t n;
        if (groupLeft == 0) {
            n = sizeof(kMarkerLine) - 1;
            memcpy(buffer + used, kMarkerLine, n);
            groupLeft = -1;
        } else {
            if (marker && groupLeft < 0) {
                groupLeft = 1 + (int)(NextRandom() % 3);
            }
            n = AppendTextLine(buffer + used);
            if (marker) {
                --groupLeft;
            }
        }
        used += n;
        total += n;
        if (used >= kChunk) {
            fwrite(buffer, 1, used, out);
            used = 0;
        }
    }
    fwrite(buffer, 1, used, out);
    if (fclose(out) != 0) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}
