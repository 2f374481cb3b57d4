// Linked into the sanitized build only (VELTRA_SANITIZE=ON), into the game
// and every test program.
//
// Mesa's GL driver and its LLVM keep one-time allocations (the 128 bytes set
// up through __pthread_once_slow, 255 extension-name copies) in their own
// static data and never free them. GLFW and Mesa unload those libraries on
// the way out, before LeakSanitizer runs: the pointers vanish with the
// libraries' data, the blocks look leaked, and their stacks end in an
// "<unknown module>" that no suppression can name. With unloading turned
// into a no-op the libraries stay mapped until the process ends, their blocks
// stay reachable, and a leak report can only come from memory that really is
// lost. dlopen of a library that is still loaded returns the same handle, so
// nothing else changes.
extern "C" int dlclose(void* /*handle*/) {
    return 0;
}
