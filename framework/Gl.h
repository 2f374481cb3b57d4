#pragma once

// The one way the game includes OpenGL: GLEW's loader first, then GLFW
// without its own GL header.
#define GLEW_NO_GLU
#include <GL/glew.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
