#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <glm/glm.hpp>

#include "framework/GlName.h"

// A linked GLSL program built from two files below assets/shaders (found
// through the asset search) or from the built-in default sources. Every
// failure on the way is fatal: the message is printed and the program ends
// through waitForKeyAndExit. Uniform locations are cached per program.
class Shader {
  public:
    // From two asset paths such as "assets/shaders/texture.vert".
    Shader(const std::string& vertexPath, const std::string& fragmentPath);
    // The same with lines such as "#define GLOW_SCALE 2" placed right after
    // the first line (the #version) of both files, to build a variant of a
    // program without a branch in every vertex and pixel.
    Shader(const std::string& vertexPath, const std::string& fragmentPath, std::string defines);
    // The built-in default program (pass-through positions, red colour).
    Shader();
    ~Shader();

    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    void use() const;
    void unuse() const;

    // Cached; -1 (inactive uniform) is cached too.
    int32_t getUniformLocation(std::string_view name);

    // Each setter writes into the program that is current now; a -1
    // location does nothing.
    void setInt(std::string_view name, int32_t value);
    void setFloat(std::string_view name, float value);
    void setVec2(std::string_view name, const glm::vec2& value);
    void setVec3(std::string_view name, const glm::vec3& value);
    void setMat3(std::string_view name, const glm::mat3& value);
    void setMat4(std::string_view name, const glm::mat4& value);

    uint32_t getProgram() const { return program.get(); }

    static const char* const builtInVertexSource;
    static const char* const builtInFragmentSource;

  private:
    GlProgram linkProgram();
    bool compileStage(const std::string& pathOrSource, uint32_t stageType, uint32_t& shaderOut);

    GlProgram program;
    std::string vertexShader;
    std::string fragmentShader;
    std::string defines;
    bool fromSource = false;
    // Transparent hashing lets a string literal look a name up without
    // building a std::string, so per-frame uniform uploads do not allocate.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, int32_t, NameHash, std::equal_to<>> uniformLocations;
};
