#ifdef __linux__

#include <dlfcn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using ProcessIdCall = pid_t (*)();

pid_t kernelProcessId() {
    return static_cast<pid_t>(syscall(SYS_getpid));
}

}  // namespace

TEST(CachedProcessId, LibrariesReachTheKeptIdAndAForkedChildGetsItsOwn) {
    // A shared library's call resolves as this lookup does: to the
    // program's getpid, not the C library's.
    void* libc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(libc, nullptr);
    const auto libraryCall = reinterpret_cast<ProcessIdCall>(dlsym(RTLD_DEFAULT, "getpid"));
    ASSERT_NE(libraryCall, nullptr);
    EXPECT_NE(reinterpret_cast<void*>(libraryCall), dlsym(libc, "getpid"));
    dlclose(libc);

    ASSERT_EQ(libraryCall(), kernelProcessId());  // kept from here on
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(libraryCall() == kernelProcessId() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child saw its parent's id";
    EXPECT_EQ(libraryCall(), kernelProcessId());
}

#endif
