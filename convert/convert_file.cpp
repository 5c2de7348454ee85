// Opening the two files of a conversion so that the source can never be harmed: it is
// opened first, and the subtitle file is only created or truncated once it is known not to
// be the source under another name.
#include "convert/convert.h"

#include <errno.h>

#include "convert/name_test.h"
#include "shared/globals.h"

#ifdef _WIN32
#include <share.h>

// Other programs may read the source while it is converted, but not write it; and the open
// fails if one already holds it open for writing.
static FILE* OpenSource(const char* path) {
    return _fsopen(path, "rb", _SH_DENYWR);
}

// No sharing for the subtitle file. Because the source is open without write sharing,
// creating the subtitle fails before truncating anything whenever its name (in any letter
// case, or as a short name) leads to the source itself.
static ConvertOutcome CreateSubtitle(const char* path, FILE* /*source*/, FILE** subtitle) {
    *subtitle = _fsopen(path, "wb", _SH_DENYRW);
    return *subtitle != NULL ? kConverted : kSubtitleNotCreated;
}

#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Opened without blocking, so that a FIFO named like a text file cannot hang the caller;
// anything but a regular file is refused, a folder among them.
static FILE* OpenSource(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return NULL;
    }
    struct stat status;
    const bool statted = fstat(fd, &status) == 0;
    if (!statted || !S_ISREG(status.st_mode)) {
        const int reason = !statted ? errno : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = reason;
        return NULL;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* source = fdopen(fd, "rb");
    if (source == NULL) {
        close(fd);
    }
    return source;
}

static bool IsSameFile(int first, int second) {
    struct stat a;
    struct stat b;
    return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// Opened without truncation first, so that a name leading to the source (the same path,
// a link, a case-folding file system) is found out while the source is still whole.
static ConvertOutcome CreateSubtitle(const char* path, FILE* source, FILE** subtitle) {
    *subtitle = NULL;
    const int fd = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        return kSubtitleNotCreated;
    }
    if (IsSameFile(fd, fileno(source))) {
        close(fd);
        return kSubtitleIsSource;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // A new, empty file is not truncated: on some file systems truncating to zero makes the
    // close wait for the whole file to be written out.
    struct stat status;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        ftruncate(fd, 0) != 0) {
        const int reason = errno;
        close(fd);
        errno = reason;
        return kSubtitleNotCreated;
    }
    *subtitle = fdopen(fd, "wb");
    if (*subtitle == NULL) {
        close(fd);
        return kSubtitleNotCreated;
    }
    return kConverted;
}
#endif

ConvertOutcome ConvertFile(const char* sourcePath, const char* subtitlePath, int intervalSeconds) {
    FILE* source = OpenSource(sourcePath);
    if (source == NULL) {
        return kSourceNotOpened;
    }
    FILE* subtitle;
    const ConvertOutcome created = CreateSubtitle(subtitlePath, source, &subtitle);
    if (created != kConverted) {
        const int reason = errno;
        fclose(source);
        errno = reason;
        return created;
    }
    bool written = ConvertStreams(source, subtitle, intervalSeconds, 1);
    fclose(source);
    if (fclose(subtitle) != 0) {
        written = false;
    }
    return written ? kConverted : kSubtitleWriteFailed;
}

void ConvertDroppedFile() {
    if (!DeriveSubtitlePath(g_droppedPath, g_subtitlePath, sizeof(g_subtitlePath))) {
        return;
    }
    ConvertFile(g_droppedPath, g_subtitlePath, g_intervalSeconds);
}
