#include "framework/GlFeatures.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#ifdef __EMSCRIPTEN__
namespace {

// clang-format off
EM_JS(char*, browserRendererName, (), {
    var gl = GL.currentContext ? GL.currentContext.GLctx : null;
    if (!gl) return 0;
    var info = gl.getExtension("WEBGL_debug_renderer_info");
    var text = gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER) || "";
    return stringToNewUTF8(String(text));
});

EM_JS(int, browserPolygonMode, (int wireframe), {
    var gl = GL.currentContext ? GL.currentContext.GLctx : null;
    var mode = gl ? gl.getExtension("WEBGL_polygon_mode") : null;
    if (!mode) return 0;
    mode.polygonModeWEBGL(gl.FRONT_AND_BACK, wireframe ? mode.LINE_WEBGL : mode.FILL_WEBGL);
    return 1;
});
// clang-format on

}  // namespace
#endif

namespace glfeatures {

bool isEs() {
#ifdef __EMSCRIPTEN__
    return true;
#else
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version != nullptr && std::strstr(version, "OpenGL ES") != nullptr;
#endif
}

std::string rendererName() {
#ifdef __EMSCRIPTEN__
    // The browser masks GL_RENDERER unless the debug extension is asked for;
    // SwiftShader, the CPU rasterizer, shows only in the unmasked name.
    char* name = browserRendererName();
    if (name == nullptr) {
        return std::string();
    }
    std::string result(name);
    std::free(name);
    return result;
#else
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr ? std::string(name) : std::string();
#endif
}

bool hasExtension(const char* name) {
    const char* wanted = std::strncmp(name, "GL_", 3) == 0 ? name + 3 : name;
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint index = 0; index < count; ++index) {
        const auto* extension =
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(index)));
        if (extension == nullptr) {
            continue;
        }
        const char* bare = std::strncmp(extension, "GL_", 3) == 0 ? extension + 3 : extension;
        if (std::strcmp(bare, wanted) == 0) {
            return true;
        }
    }
    return false;
}

bool hasVersion3() {
#ifdef __EMSCRIPTEN__
    // The context is WebGL 2 or none at all.
    return glfwGetCurrentContext() != nullptr;
#else
    return GLEW_VERSION_3_0;
#endif
}

bool hasDxt1Textures() {
    if (!isEs()) {
        return true;
    }
    return hasExtension("WEBGL_compressed_texture_s3tc") ||
           hasExtension("EXT_texture_compression_s3tc") ||
           hasExtension("EXT_texture_compression_dxt1");
}

bool hasFloatColorTargets() {
    return !isEs() || hasExtension("EXT_color_buffer_float");
}

GLenum floatColorFormat() {
    return isEs() ? GL_RGBA16F : GL_RGB16F;
}

void enableDebugOutput(GLDEBUGPROC callback) {
#ifdef __EMSCRIPTEN__
    (void)callback;
    std::cout << "This renderer has no debug output: driver messages are not shown" << std::endl;
#else
    if (glDebugMessageCallback == nullptr) {
        return;
    }
    glDebugMessageCallback(callback, nullptr);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
#endif
}

bool setPolygonMode(bool wireframe) {
#ifdef __EMSCRIPTEN__
    // Some browsers draw lines through WEBGL_polygon_mode.
    const int drawn = browserPolygonMode(wireframe ? 1 : 0);
    if (drawn != 0) {
        return true;
    }
    static bool said = false;
    if (wireframe && !said) {
        said = true;
        std::cout << "Wireframe drawing is not available in this renderer" << std::endl;
    }
    return false;
#else
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
    return true;
#endif
}

bool canReadTextures() {
#ifdef __EMSCRIPTEN__
    return false;
#else
    return true;
#endif
}

void textureLevelSize(int32_t level, GLint& width, GLint& height) {
    width = 0;
    height = 0;
#ifdef __EMSCRIPTEN__
    (void)level;
#else
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
#endif
}

bool readTextureLevel(int32_t level, std::vector<uint8_t>& texels) {
#ifdef __EMSCRIPTEN__
    (void)level;
    (void)texels;
    return false;
#else
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return true;
#endif
}

void readPixelsRgb(int32_t width, int32_t height, uint8_t* rgb) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!isEs()) {
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return;
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<uint8_t> rgba(pixels * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        rgb[pixel * 3] = rgba[pixel * 4];
        rgb[pixel * 3 + 1] = rgba[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = rgba[pixel * 4 + 2];
    }
}

}  // namespace glfeatures
