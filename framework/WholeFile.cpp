#include "framework/WholeFile.h"

#include <cstdio>
#include <system_error>

#include "framework/Platform.h"

namespace fs = std::filesystem;

ReadResult readWholeFile(const fs::path& path, size_t maxBytes, std::string& bytes) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        return error ? ReadResult::failed : ReadResult::missing;
    }
    std::FILE* file = platform::openFile(platform::utf8FromPath(path), "rb");
    if (file == nullptr) {
        return ReadResult::failed;
    }
    // One byte past the limit tells a file that is too large without
    // trusting the size the file system reports.
    std::string read(maxBytes + 1, '\0');
    const size_t count = std::fread(read.data(), 1, read.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return ReadResult::failed;
    }
    if (count > maxBytes) {
        return ReadResult::tooLarge;
    }
    read.resize(count);
    bytes = std::move(read);
    return ReadResult::read;
}

ReplaceResult replaceFileFrom(const fs::path& path, const char* mode, bool throughToDisk,
                              const std::function<bool(std::FILE*)>& write) {
    fs::path partial = path;
    partial += ".partial";
    std::FILE* file = platform::openFile(platform::utf8FromPath(partial), mode);
    if (file == nullptr) {
        return ReplaceResult::notCreated;
    }
    const bool written = write(file) && (!throughToDisk || platform::flushToDisk(file));
    const bool closed = std::fclose(file) == 0;
    if (written && closed && platform::replaceFile(partial, path)) {
        return ReplaceResult::replaced;
    }
    std::error_code ignored;
    fs::remove(partial, ignored);
    return ReplaceResult::notWritten;
}

bool replaceWholeFile(const fs::path& path, std::string_view bytes) {
    std::error_code folderError;
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), folderError);
        if (folderError) {
            return false;
        }
    }
    const auto writeBytes = [bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    };
    if (replaceFileFrom(path, "wb", true, writeBytes) != ReplaceResult::replaced) {
        return false;
    }
    platform::keepWrittenFiles();
    return true;
}
