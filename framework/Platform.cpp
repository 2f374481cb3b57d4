#include "framework/Platform.h"

#include <atomic>
#include <cstdlib>
#include <system_error>

#include "framework/PlatformInternal.h"

#ifdef __GLIBC__
#include <malloc.h>
#include <unistd.h>
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

namespace internal {

bool markCloseRequested() {
    return closeRequested.exchange(true);
}

}  // namespace internal

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
    // The sky's cube map, 24 MB in the driver, is made anew for every run.
    // glibc maps a block that large on its own, but raises that threshold to
    // the size of the last such block freed, so from the first restart on
    // the cube map came from the heap and left a 24 MB hole there that the
    // next run's smaller blocks split: the resident size grew in 8 to 24 MB
    // steps over the restarts. Blocks from 16 MB up are now always mapped on
    // their own and given back when freed.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
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
