#pragma once

struct GLFWwindow;

// SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break and closing the
// console window) ask the window to close, like Escape or the close button:
// the frame loop ends at its next check and the program shuts down normally.
// A second request ends the program at once.
void installCloseSignalHandlers();

// Whether the window has been asked to close, by the window system or by a
// signal (a pending signal is turned into the window's close flag here).
bool closeRequested(GLFWwindow* window);
