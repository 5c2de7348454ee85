#include "convert/name_test.h"

#include <string.h>

bool HasTextFileName(const char* path) {
    return strstr(path, ".txt") != NULL || strstr(path, ".TXT") != NULL;
}

bool DeriveSubtitlePath(const char* sourcePath, char* subtitlePath, size_t subtitlePathSize) {
    static const char kSuffix[] = ".srt";
    const size_t suffixLength = sizeof(kSuffix) - 1;
    const size_t length = strlen(sourcePath);
    if (length < suffixLength || length + 1 > subtitlePathSize) {
        return false;
    }
    const size_t stemLength = length - suffixLength;
    memcpy(subtitlePath, sourcePath, stemLength);
    memcpy(subtitlePath + stemLength, kSuffix, sizeof(kSuffix));
    return true;
}
