#pragma once

#include <string>

#include "framework/Gl.h"

// The driver's debug-message callback: prints every message as one line,
// except the two chatty driver notes with ids 131185 and 131218.
void GLAPIENTRY debugCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                              GLsizei length, const GLchar* message, const void* userParam);

// "OpenGL Error: <message> [Source = <name>, Type = <name>, Severity = <name>, ID = <id>]"
std::string formatDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const char* message);

// True for the ids that are dropped without a line.
bool isIgnoredDebugMessage(GLuint id);
