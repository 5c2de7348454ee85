#include "test_files.h"

#include <stdio.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

std::string MakeScratchFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        fs::path folder = fs::temp_directory_path() / ("torvane-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(folder, error)) {
            return folder.string() + static_cast<char>(fs::path::preferred_separator);
        }
    }
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

std::string ReadStream(FILE* stream) {
    std::string bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), stream)) > 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

std::string ReadBytes(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return kMissing;
    }
    const std::string bytes = ReadStream(file);
    fclose(file);
    return bytes;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}
