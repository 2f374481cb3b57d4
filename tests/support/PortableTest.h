#pragma once

// The few POSIX calls the tests make, with their Windows counterparts, so the
// suites build and run on both systems.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h names these as macros; the game uses them as words.
#undef near
#undef far
#else
#include <unistd.h>
#include <csignal>
#endif

namespace portable_test {

inline void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// Where output goes to be dropped and input reads as empty.
inline const char* nullDevice() {
#ifdef _WIN32
    return "NUL";
#else
    return "/dev/null";
#endif
}

// Standard output joins standard error (where death tests read it).
inline void joinStdoutToStderr() {
#ifdef _WIN32
    _dup2(2, 1);
#else
    dup2(2, 1);
#endif
}

// Makes `link` show the directory `target`: a symbolic link, or a copy where
// links cannot be made (Windows without the right, wine).
inline void linkDirectory(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code error;
    std::filesystem::create_directory_symlink(target, link, error);
    if (error) {
        std::filesystem::copy(target, link, std::filesystem::copy_options::recursive);
    }
}

// What a player does to end a console program: Ctrl+Break in its console
// on Windows (delivered to the whole console), Ctrl+C's SIGINT elsewhere.
// False where it cannot be sent (a Windows program without a console).
inline bool sendConsoleBreak() {
#ifdef _WIN32
    return GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0) != 0;
#else
    return std::raise(SIGINT) == 0;
#endif
}

// Whether file permissions can keep this process from reading a file (not
// for root, and not on Windows, where chmod only sets the read-only flag).
inline bool permissionsCanDenyReading() {
#ifdef _WIN32
    return false;
#else
    return geteuid() != 0;
#endif
}

}  // namespace portable_test
