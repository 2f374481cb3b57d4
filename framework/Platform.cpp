#include "framework/Platform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// windows.h names these as macros; the game uses them as words.
#undef near
#undef far
#include <shellapi.h>
#include <shlobj.h>
#include <timeapi.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

std::atomic<bool> closeRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
std::atomic<bool> pauseRequested{false};

}  // namespace

fs::path pathFromUtf8(const std::string& utf8) {
    try {
        return fs::path(std::u8string(utf8.begin(), utf8.end()));
    } catch (const std::system_error&) {
        // Not UTF-8 after all (a name typed in the system's own code page):
        // the library's narrow conversion is the best remaining guess.
        return fs::path(utf8);
    }
}

std::string utf8FromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

namespace {

std::wstring wideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    }
    return wide;
}

// Wide text in a narrow code page: CP_UTF8, or CP_ACP as main() sees it.
std::string narrowFromWide(UINT codePage, const wchar_t* wide) {
    const int length = static_cast<int>(wcslen(wide));
    if (length == 0) {
        return std::string();
    }
    const int size = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(codePage, 0, wide, length, narrow.data(), size, nullptr, nullptr);
    }
    return narrow;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (closeRequested.exchange(true)) {
        // The second request: the default handler ends the process.
        return FALSE;
    }
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Windows ends the process as soon as this handler returns. Waiting
        // here lets the frame loop see the flag, shut down and return 0 from
        // main, which ends the process with this thread in it.
        Sleep(INFINITE);
    }
    return TRUE;
}

}  // namespace

std::FILE* openFile(const std::string& utf8Path, const char* mode) {
    return _wfopen(pathFromUtf8(utf8Path).c_str(), wideFromUtf8(mode).c_str());
}

std::FILE* createNewFile(const std::string& utf8Path) {
    const int descriptor = _wopen(pathFromUtf8(utf8Path).c_str(),
                                  _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

MoveResult moveToNewName(const fs::path& from, const fs::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing name is refused.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return MoveResult::moved;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? MoveResult::nameTaken
                                                                       : MoveResult::failed;
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool replaceFile(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

fs::path executablePath(size_t capacity) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // A result that fills the buffer means the path was cut off.
    if (length == 0 || length >= capacity) {
        return fs::path();
    }
    buffer.resize(length);
    return fs::path(buffer);
}

std::vector<std::string> utf8Arguments(int argc, const char* const* argv) {
    // The process's own command line, split the way the C runtime split it
    // for main(); used only where it is the very list given, letter for
    // letter as far as the ANSI code page can tell.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments(argv, argv + argc);
    bool same = wide != nullptr && count == argc;
    for (int i = 0; same && i < count; ++i) {
        same = narrowFromWide(CP_ACP, wide[i]) == argv[i];
    }
    if (same) {
        for (int i = 0; i < count; ++i) {
            arguments[static_cast<size_t>(i)] = narrowFromWide(CP_UTF8, wide[i]);
        }
    }
    LocalFree(wide);
    return arguments;
}

void setEnvironmentDefault(const char* name, const char* value) {
    if (std::getenv(name) == nullptr) {
        _putenv_s(name, value);
    }
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
}

void installCloseRequestHandlers() {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

fs::path startDirectory() {
    const wchar_t* told = _wgetenv(L"VELTRA_START_DIR");
    return told != nullptr ? fs::path(told) : fs::path();
}

namespace {

// A known folder of the user's (Pictures, AppData); empty when Windows has none.
fs::path knownFolder(REFKNOWNFOLDERID id) {
    PWSTR known = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &known))) {
        folder = fs::path(known);
    }
    CoTaskMemFree(known);
    return folder;
}

}  // namespace

fs::path picturesDirectory() {
    const fs::path pictures = knownFolder(FOLDERID_Pictures);
    std::error_code error;
    if (!pictures.empty() && fs::is_directory(pictures, error)) {
        return pictures;
    }
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return profile != nullptr && *profile != L'\0' ? fs::path(profile) : fs::path();
}

fs::path playerDataDirectory() {
    const fs::path data = knownFolder(FOLDERID_RoamingAppData);
    return data.empty() ? fs::path() : data / L"VELTRA";
}

void quietSoundLibraries() {}

void keepGamepadLibraryLoaded() {
    // GLFW tries xinput1_4 first; where it is missing GLFW's own fallbacks
    // are left as they are.
    static const HMODULE xinput = LoadLibraryW(L"xinput1_4.dll");
    (void)xinput;
}

void useFineSleep() {
    // Held until the program ends, when Windows restores the timer itself.
    static const bool requested = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)requested;
}

#else

namespace {

extern "C" void onCloseSignal(int /*signal*/) {
    closeRequested.store(true);
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

#endif

void restartWithLargePages(char** argv) {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    // The path the system names for this program (under valgrind, the
    // program's own, not the tool's).
    const fs::path self = executablePath(4096);
    if (self.empty() || std::getenv("GLIBC_TUNABLES") != nullptr ||
        setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 0) != 0) {
        return;
    }
    execv(self.c_str(), argv);
    // Still here: go on as started, and leave the setting to no one else.
    unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

void setLibraryEnvironment() {
    setEnvironmentDefault("ALSOFT_LOGLEVEL", "0");
#ifdef __GLIBC__
    // One heap for every thread. Pictures are decoded on helper threads and
    // freed on the main one; glibc gives each thread a heap of its own and
    // keeps freed pages there, which added 10 to 20 MB to the resident
    // size over a few restarts.
    mallopt(M_ARENA_MAX, 1);
#endif
}

bool closeRequestReceived() {
    return closeRequested.load();
}

bool takePauseRequest() {
    return pauseRequested.exchange(false);
}

void keepWrittenFiles() {
#ifdef __EMSCRIPTEN__
    // The page mounts the player's folder on the browser's IndexedDB; this
    // copies memory to it (false: from memory to the storage).
    EM_ASM({
        FS.syncfs(
            false, function(error) {
                if (error)
                    err("Could not keep the best runs in the browser: " + error);
            });
    });
#endif
}

}  // namespace platform

// Called by the page (see the web folder's index.html).
extern "C" {
#ifdef __EMSCRIPTEN__
EMSCRIPTEN_KEEPALIVE
#endif
void veltra_request_pause() {
    platform::pauseRequested.store(true);
}
}
