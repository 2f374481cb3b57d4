#pragma once

#include <memory>

class Shader;

// Checks that a current OpenGL context with at least OpenGL 3.0 exists and,
// when no program is current, makes the built-in default program current.
// On false the reason has been printed.
bool initFramework();

// Releases the built-in program made by initFramework, if any.
void shutdownFramework();

// The built-in program kept by initFramework (empty when none was needed).
std::shared_ptr<Shader> frameworkDefaultShader();
