// Fuzzes the dropped-name test and the subtitle name against a plain model: the name is taken
// when ".txt" or ".TXT" occurs anywhere; the subtitle name is the path without its last four
// bytes, followed by ".srt", when that fits the buffer.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "convert/name_test.h"

namespace {

const size_t kMaxPathBytes = 400;
const size_t kMaxBufferBytes = 512;

void Check(bool ok, const char* what, const std::string& path, size_t bufferSize) {
    if (!ok) {
        fprintf(stderr, "fuzz_name: %s for a path of %zu bytes and a buffer of %zu\n", what,
                path.size(), bufferSize);
        abort();
    }
}

bool Contains(const std::string& path, const char* part) {
    for (size_t at = 0; at + 4 <= path.size(); ++at) {
        if (path[at] == part[0] && path[at + 1] == part[1] && path[at + 2] == part[2] &&
            path[at + 3] == part[3]) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes pick the subtitle buffer's size, the rest is the path up to a NUL.
    const size_t bufferSize = (data[0] | data[1] << 8) % kMaxBufferBytes;
    std::string path(reinterpret_cast<const char*>(data + 2),
                     size - 2 < kMaxPathBytes ? size - 2 : kMaxPathBytes);
    path = path.substr(0, path.find('\0'));

    const bool named = Contains(path, ".txt") || Contains(path, ".TXT");
    Check(HasTextFileName(path.c_str()) == named, "wrong name test", path, bufferSize);

    // Exactly the buffer's size on the heap, so that a byte written past it is caught.
    char* subtitle = new char[bufferSize];
    const bool fits = path.size() >= 4 && path.size() + 1 <= bufferSize;
    const bool derived = DeriveSubtitlePath(path.c_str(), subtitle, bufferSize);
    Check(derived == fits, "wrong answer to whether the name fits", path, bufferSize);
    if (fits) {
        const std::string expected = path.substr(0, path.size() - 4) + ".srt";
        Check(memchr(subtitle, '\0', bufferSize) != NULL && subtitle == expected,
              "wrong subtitle name", path, bufferSize);
    }
    delete[] subtitle;
    return 0;
}
