#include "framework/ShaderDialect.h"

namespace {

constexpr std::string_view kEsHeader =
    "#version 300 es\n"
    "precision highp float;\n"
    "precision highp int;\n"
    "precision highp sampler2D;\n"
    "precision highp samplerCube;\n";

// "uniform vec3 tint = vec3(1);" becomes "uniform vec3 tint;".
std::string withoutInitialValue(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.substr(start, 8) != "uniform ") {
        return std::string(line);
    }
    const std::size_t equals = line.find('=');
    const std::size_t end = line.find(';');
    if (equals == std::string_view::npos || end == std::string_view::npos || equals > end) {
        return std::string(line);
    }
    std::string_view declaration = line.substr(0, equals);
    while (!declaration.empty() && (declaration.back() == ' ' || declaration.back() == '\t')) {
        declaration.remove_suffix(1);
    }
    return std::string(declaration) + std::string(line.substr(end));
}

}  // namespace

std::string toEsShader(std::string_view source) {
    std::string converted;
    converted.reserve(source.size() + kEsHeader.size());
    bool versionSeen = false;
    std::size_t position = 0;
    while (position < source.size()) {
        std::size_t end = source.find('\n', position);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) {
            end = source.size();
        }
        const std::string_view line = source.substr(position, end - position);
        const std::size_t start = line.find_first_not_of(" \t");
        if (!versionSeen && start != std::string_view::npos &&
            line.substr(start, 8) == "#version") {
            versionSeen = true;
            converted += kEsHeader;
        } else {
            converted += withoutInitialValue(line);
            if (!lastLine) {
                converted += '\n';
            }
        }
        position = end + 1;
    }
    if (!versionSeen) {
        converted.insert(0, kEsHeader);
    }
    return converted;
}
