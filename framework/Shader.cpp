#include "framework/Shader.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>
#include <vector>

#include <glm/gtc/type_ptr.hpp>

#include "framework/AssetPath.h"
#include "framework/Fatal.h"
#include "framework/Gl.h"
#include "framework/GlFeatures.h"
#include "framework/Platform.h"
#include "framework/ShaderDialect.h"

const char* const Shader::builtInVertexSource =
    "#version 330 core\n"
    "layout(location = 0) in vec3 position;\n"
    "void main() {\n"
    "\tgl_Position = vec4(position.xy, -position.z, 1);\n"
    "}";

const char* const Shader::builtInFragmentSource =
    "#version 330 core \n"
    "uniform vec3 fragColor = vec3(1, 0, 0); \n"
    "out vec4 color; \n"
    "void main() {  \n"
    "\tcolor = vec4(fragColor, 1); \n"
    "}";

namespace {

// The driver may report a log length of 0; the buffer then still holds an
// empty, terminated text so the failure prints an empty line.
std::string shaderInfoLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0) {
        glGetShaderInfoLog(shader, length, nullptr, buffer.data());
    }
    return std::string(buffer.data());
}

std::string programInfoLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0) {
        glGetProgramInfoLog(program, length, nullptr, buffer.data());
    }
    return std::string(buffer.data());
}

std::string findShaderFile(const std::string& path) {
    std::string fullPath = resolveAssetPath(path);
    if (fullPath.empty()) {
        std::cout << "Could not find shader file: " << path << std::endl;
        waitForKeyAndExit();
    }
    return fullPath;
}

std::string readShaderFile(const std::string& path) {
    const std::string fullPath = findShaderFile(path);
    std::ifstream stream(platform::pathFromUtf8(fullPath));
    if (!stream.is_open()) {
        std::cout << "Unable to load file[" << fullPath << "]!" << std::endl;
        waitForKeyAndExit();
    }
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

}  // namespace

Shader::Shader(const std::string& vertexPath, const std::string& fragmentPath)
    : Shader(vertexPath, fragmentPath, std::string()) {}

Shader::Shader(const std::string& vertexPath, const std::string& fragmentPath,
               std::string programDefines)
    : vertexShader(vertexPath),
      fragmentShader(fragmentPath),
      defines(std::move(programDefines)),
      fromSource(false) {
    program = linkProgram();
}

Shader::Shader()
    : vertexShader(builtInVertexSource), fragmentShader(builtInFragmentSource), fromSource(true) {
    program = linkProgram();
}

Shader::~Shader() {
    // Not current when its owner deletes it.
    glUseProgram(0);
}

void Shader::use() const {
    glUseProgram(program.get());
}

void Shader::unuse() const {
    glUseProgram(0);
}

GlProgram Shader::linkProgram() {
    GLuint vertex = 0;
    GLuint fragment = 0;
    const bool vertexCompiled = compileStage(vertexShader, GL_VERTEX_SHADER, vertex);
    const bool fragmentCompiled = compileStage(fragmentShader, GL_FRAGMENT_SHADER, fragment);
    if (!vertexCompiled && !fragmentCompiled) {
        std::cout << "Shader must contain at least a vertex and fragment shader" << std::endl;
        waitForKeyAndExit();
    }

    GlProgram owned(glCreateProgram());
    const GLuint linked = owned.get();
    if (vertexCompiled) {
        glAttachShader(linked, vertex);
    }
    if (fragmentCompiled) {
        glAttachShader(linked, fragment);
    }
    glLinkProgram(linked);
    GLint status = GL_FALSE;
    glGetProgramiv(linked, GL_LINK_STATUS, &status);

    if (status == GL_TRUE) {
        if (vertexCompiled) {
            glDetachShader(linked, vertex);
        }
        if (fragmentCompiled) {
            glDetachShader(linked, fragment);
        }
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return owned;
    }

    const std::string log = programInfoLog(linked);
    std::cout << "Failed to link shader program:" << std::endl;
    std::cout << log << std::endl;
    owned.reset();
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    waitForKeyAndExit();
}

bool Shader::compileStage(const std::string& pathOrSource, uint32_t stageType,
                          uint32_t& shaderOut) {
    std::string text = fromSource ? pathOrSource : readShaderFile(pathOrSource);
    if (glfeatures::isEs()) {
        text = toEsShader(text);
    }
    if (!defines.empty()) {
        const std::size_t firstLineEnd = text.find('\n');
        text.insert(firstLineEnd == std::string::npos ? text.size() : firstLineEnd + 1, defines);
    }

    const GLuint shader = glCreateShader(stageType);
    if (shader == 0) {
        std::cout << "Failed to create " << stageType << std::endl;
        waitForKeyAndExit();
    }

    const char* source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);

    if (status == GL_TRUE && glIsShader(shader) == GL_TRUE) {
        if (!fromSource) {
            std::cout << "Read shader: " << pathOrSource << std::endl;
        }
        shaderOut = shader;
        return true;
    }

    const std::string log = shaderInfoLog(shader);
    std::cout << "Failed to compile shader: " << pathOrSource << std::endl;
    std::cout << log << std::endl;
    glDeleteShader(shader);
    waitForKeyAndExit();
}

int32_t Shader::getUniformLocation(std::string_view name) {
    const auto found = uniformLocations.find(name);
    if (found != uniformLocations.end()) {
        return found->second;
    }
    // Only the first lookup of a name builds a terminated copy for the driver.
    std::string key(name);
    const GLint location = glGetUniformLocation(program.get(), key.c_str());
    uniformLocations.emplace(std::move(key), location);
    return location;
}

void Shader::setInt(std::string_view name, int32_t value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniform1i(location, value);
    }
}

void Shader::setFloat(std::string_view name, float value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniform1f(location, value);
    }
}

void Shader::setVec2(std::string_view name, const glm::vec2& value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniform2f(location, value.x, value.y);
    }
}

void Shader::setVec3(std::string_view name, const glm::vec3& value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniform3f(location, value.x, value.y, value.z);
    }
}

void Shader::setMat3(std::string_view name, const glm::mat3& value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniformMatrix3fv(location, 1, GL_FALSE, glm::value_ptr(value));
    }
}

void Shader::setMat4(std::string_view name, const glm::mat4& value) {
    const int32_t location = getUniformLocation(name);
    if (location != -1) {
        glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
    }
}
