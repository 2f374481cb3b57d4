#pragma once

// What the two systems' halves of the platform layer share, kept out of
// Platform.h: the flag a close request sets.
namespace platform::internal {

// Notes a request to close (a signal, the console window closing); true
// when one had been noted before. Safe to call from a signal handler.
bool markCloseRequested();

}  // namespace platform::internal
