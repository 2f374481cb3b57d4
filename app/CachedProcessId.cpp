// Linked into the game and the frame-time harness on Linux, and
// exported from them, so the shared libraries' calls to getpid() land here.
//
// The GL dispatch library (libglvnd) checks whether the process has forked
// at every GLX call, by asking the kernel for the process id. GLFW weighs
// each of the display's framebuffer configurations with such calls: some
// twenty thousand at the window's creation on a software renderer's display
// (840 configurations under Xvfb). Where a system call is slow, as in a
// virtual machine, that was about a tenth of the launch. The id is asked
// once and kept; a forked child forgets it, so it asks for its own.
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<pid_t> knownProcessId{0};

extern "C" void forgetProcessId() {
    knownProcessId.store(0, std::memory_order_relaxed);
}

// Registered as the program starts, so that getpid() itself stays a load
// and a store, safe in a signal handler: fork() runs it in the child
// before it returns there.
[[maybe_unused]] const int forgetsInChild = pthread_atfork(nullptr, nullptr, forgetProcessId);

}  // namespace

extern "C" pid_t getpid() noexcept {
    pid_t id = knownProcessId.load(std::memory_order_relaxed);
    if (id == 0) {
        id = static_cast<pid_t>(syscall(SYS_getpid));
        knownProcessId.store(id, std::memory_order_relaxed);
    }
    return id;
}
