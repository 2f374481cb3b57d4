#include "framework/DebugOutput.h"

#include <iostream>

namespace {

// The AMD category values predate the KHR debug enums; some drivers still
// report them, so each maps to the same name as its KHR counterpart.
constexpr GLenum kCategoryApiErrorAmd = 0x9149;
constexpr GLenum kCategoryWindowSystemAmd = 0x914A;
constexpr GLenum kCategoryDeprecationAmd = 0x914B;
constexpr GLenum kCategoryUndefinedBehaviorAmd = 0x914C;
constexpr GLenum kCategoryPerformanceAmd = 0x914D;
constexpr GLenum kCategoryShaderCompilerAmd = 0x914E;
constexpr GLenum kCategoryApplicationAmd = 0x914F;
constexpr GLenum kCategoryOtherAmd = 0x9150;

const char* sourceName(GLenum source) {
    switch (source) {
        case GL_DEBUG_SOURCE_API:
        case kCategoryApiErrorAmd:
            return "API";
        case GL_DEBUG_SOURCE_WINDOW_SYSTEM:
        case kCategoryWindowSystemAmd:
            return "Window System";
        case GL_DEBUG_SOURCE_SHADER_COMPILER:
        case kCategoryShaderCompilerAmd:
            return "Shader Compiler";
        case GL_DEBUG_SOURCE_THIRD_PARTY:
            return "Third Party";
        case GL_DEBUG_SOURCE_APPLICATION:
        case kCategoryApplicationAmd:
            return "Application";
        case GL_DEBUG_SOURCE_OTHER:
        case kCategoryOtherAmd:
            return "Other";
        default:
            return "Unknown";
    }
}

const char* typeName(GLenum type) {
    switch (type) {
        case GL_DEBUG_TYPE_ERROR:
            return "Error";
        case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR:
        case kCategoryDeprecationAmd:
            return "Deprecated Behavior";
        case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR:
        case kCategoryUndefinedBehaviorAmd:
            return "Undefined Behavior";
        case GL_DEBUG_TYPE_PORTABILITY:
            return "Portability";
        case GL_DEBUG_TYPE_PERFORMANCE:
        case kCategoryPerformanceAmd:
            return "Performance";
        case GL_DEBUG_TYPE_OTHER:
        case kCategoryOtherAmd:
            return "Other";
        default:
            return "Unknown";
    }
}

const char* severityName(GLenum severity) {
    switch (severity) {
        case GL_DEBUG_SEVERITY_HIGH:
            return "High";
        case GL_DEBUG_SEVERITY_MEDIUM:
            return "Medium";
        case GL_DEBUG_SEVERITY_LOW:
            return "Low";
        default:
            return "Unknown";
    }
}

}  // namespace

bool isIgnoredDebugMessage(GLuint id) {
    return id == 131185 || id == 131218;
}

std::string formatDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const char* message) {
    std::string line = "OpenGL Error: ";
    line += message != nullptr ? message : "";
    line += " [Source = ";
    line += sourceName(source);
    line += ", Type = ";
    line += typeName(type);
    line += ", Severity = ";
    line += severityName(severity);
    line += ", ID = ";
    line += std::to_string(id);
    line += "]";
    return line;
}

void GLAPIENTRY debugCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                              GLsizei /*length*/, const GLchar* message,
                              const void* /*userParam*/) {
    if (isIgnoredDebugMessage(id)) {
        return;
    }
    std::cout << formatDebugMessage(source, type, id, severity, message) << std::endl;
}
