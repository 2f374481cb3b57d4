#pragma once

#include <string>

struct GLFWwindow;

// The game's OpenGL context: 4.1 core, forward-compatible, with debug
// output. The game window, the tests and the benchmarks all ask for it here.

// Initialises GLFW (see glfwInit) the way the game and its tests need it.
bool initGlfw();

// Sets GLFW's window hints for that context (GLFW must be initialised).
void setContextHints();

// Loads the OpenGL entry points for the current context. On failure returns
// false and GLEW's reason in reason.
bool loadGlFunctions(std::string& reason);

// A hidden window of this size holding such a context, made current with its
// entry points loaded; null (GLFW terminated again) without a display. For
// the tests and the benchmarks; the game opens its window with WindowManager.
GLFWwindow* createHiddenContext(int width, int height, const char* title);
