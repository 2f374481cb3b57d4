#pragma once

#include <string>
#include <string_view>

// The game's shaders are written as "#version 330 core". An OpenGL ES 3.0
// context (WebGL 2 in a browser) compiles GLSL ES 3.00, which is the same
// language for all the shaders use, given another first line, default
// precisions (high: the land's coordinates and the glow's values need all
// of a float) and no initial values on uniforms, which ES does not allow
// (such a uniform starts at zero, as an unset one does).
std::string toEsShader(std::string_view source);
