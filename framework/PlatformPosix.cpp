// The platform layer on Linux and in the browser: UTF-8 file names as
// they are, signals, the XDG folders. The same functions for Windows are in
// PlatformWindows.cpp.
#ifndef _WIN32

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "framework/Platform.h"
#include "framework/PlatformInternal.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

extern "C" void onCloseSignal(int /*signal*/) {
    internal::markCloseRequested();
}

}  // namespace

std::FILE* openFile(const std::string& utf8Path, const char* mode) {
    return std::fopen(utf8Path.c_str(), mode);
}

std::FILE* createNewFile(const std::string& utf8Path) {
    const int descriptor = open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}

MoveResult moveToNewName(const fs::path& from, const fs::path& to) {
#ifdef __EMSCRIPTEN__
    // One thread, one program: nothing can take the name between the look
    // and the move.
    std::error_code error;
    if (fs::exists(to, error) || error) {
        return error ? MoveResult::failed : MoveResult::nameTaken;
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::moved : MoveResult::failed;
#else
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveResult::moved;
    }
    if (errno == EEXIST) {
        return MoveResult::nameTaken;
    }
    // A file system without the flag: a hard link is just as exclusive.
    if (errno != EINVAL && errno != ENOSYS) {
        return MoveResult::failed;
    }
    if (link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? MoveResult::nameTaken : MoveResult::failed;
    }
    unlink(from.c_str());
    return MoveResult::moved;
#endif
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool replaceFile(const fs::path& from, const fs::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

fs::path executablePath(size_t capacity) {
#ifdef __EMSCRIPTEN__
    // The page lays the game out in its file system as the desktop builds
    // are: /veltra/bin for the program, /veltra/assets beside it.
    (void)capacity;
    return fs::path("/veltra/bin/veltra");
#else
    std::string buffer(capacity, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= capacity) {
        return fs::path();
    }
    buffer.resize(static_cast<size_t>(length));
    return fs::path(buffer);
#endif
}

std::vector<std::string> utf8Arguments(int argc, const char* const* argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void setEnvironmentDefault(const char* name, const char* value) {
    setenv(name, value, 0);
}

void useUtf8Console() {}

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

namespace {

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file: a line
// XDG_PICTURES_DIR="$HOME/Pictures", where $HOME may start the path.
fs::path picturesFromUserDirs(const fs::path& file, const std::string& home) {
    std::ifstream stream(file);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(stream, line)) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        return value.empty() || value.front() != '/' ? fs::path() : fs::path(value);
    }
    return fs::path();
}

}  // namespace

fs::path picturesDirectory() {
    const char* homeVariable = std::getenv("HOME");
    const std::string home = homeVariable != nullptr ? homeVariable : "";
    fs::path pictures;
    if (const char* set = std::getenv("XDG_PICTURES_DIR"); set != nullptr && *set == '/') {
        pictures = set;
    } else {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        const fs::path configDir = config != nullptr && *config == '/' ? fs::path(config)
                                   : home.empty()                      ? fs::path()
                                                                       : fs::path(home) / ".config";
        if (!configDir.empty()) {
            pictures = picturesFromUserDirs(configDir / "user-dirs.dirs", home);
        }
    }
    std::error_code error;
    if (!pictures.empty() && fs::is_directory(pictures, error)) {
        return pictures;
    }
    return home.empty() ? fs::path() : fs::path(home);
}

fs::path playerDataDirectory() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return fs::path(data) / "veltra";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? fs::path(home) / ".local" / "share" / "veltra"
                                            : fs::path();
}

#ifndef __EMSCRIPTEN__
namespace {

extern "C" void ignoreAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/,
                                int /*error*/, const char* /*format*/, ...) {}

}  // namespace
#endif

fs::path startDirectory() {
    const char* told = std::getenv("VELTRA_START_DIR");
    return told != nullptr ? fs::path(told) : fs::path();
}

void quietSoundLibraries() {
#ifndef __EMSCRIPTEN__
    // OpenAL Soft opens ALSA by its library name; opened here first, it is
    // the same library, and it stays loaded with the handler set. Where ALSA
    // is not installed there is nothing to quieten.
    static void* const alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(ErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) {
        set(ignoreAlsaError);
    }
#endif
}

void keepGamepadLibraryLoaded() {}

void useFineSleep() {}

void installCloseRequestHandlers() {
    struct sigaction action = {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep file reads whole; the handler is reset so
    // a second signal still ends a program that is stuck waiting.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace platform

#endif
