// The platform layer on Windows: wide-character file names and arguments,
// the console's close events, known folders. The same functions for the
// other systems are in PlatformPosix.cpp.
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

#include <cstdlib>
#include <system_error>

#include "framework/Platform.h"
#include "framework/PlatformInternal.h"

namespace fs = std::filesystem;

namespace platform {

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
    if (internal::markCloseRequested()) {
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

}  // namespace platform

#endif
