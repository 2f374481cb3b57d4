#pragma once

// Writes small glTF binary (.glb) files for the model-import tests: one
// buffer, one node per mesh, one primitive per mesh.

#include <cstdint>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace render_test {

struct GlbPrimitive {
    std::vector<glm::vec3> positions;
    std::vector<uint32_t> indices;
    std::optional<std::vector<glm::vec2>> uvs;
    int mode = 4;  // 4 triangles, 6 triangle fan
};

class GlbWriter {
  public:
    void addMesh(const GlbPrimitive& primitive) { meshes.push_back(primitive); }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> bin;
        std::ostringstream views, accessors, meshJson;
        int viewCount = 0;
        auto addView = [&](const void* data, size_t size) {
            const size_t offset = bin.size();
            bin.resize(offset + size);
            std::memcpy(bin.data() + offset, data, size);
            while (bin.size() % 4 != 0) {
                bin.push_back(0);
            }
            views << (viewCount ? "," : "") << R"({"buffer":0,"byteOffset":)" << offset
                  << R"(,"byteLength":)" << size << "}";
            return viewCount++;
        };
        for (size_t m = 0; m < meshes.size(); ++m) {
            const GlbPrimitive& p = meshes[m];
            glm::vec3 lo(1e30f), hi(-1e30f);
            for (const glm::vec3& v : p.positions) {
                lo = glm::min(lo, v);
                hi = glm::max(hi, v);
            }
            const int base = static_cast<int>(m) * 3;
            const int positionView = addView(p.positions.data(), p.positions.size() * 12);
            accessors << (m ? "," : "") << R"({"bufferView":)" << positionView
                      << R"(,"componentType":5126,"count":)" << p.positions.size()
                      << R"(,"type":"VEC3","min":[)" << lo.x << "," << lo.y << "," << lo.z
                      << R"(],"max":[)" << hi.x << "," << hi.y << "," << hi.z << "]}";
            const int indexView = addView(p.indices.data(), p.indices.size() * 4);
            accessors << R"(,{"bufferView":)" << indexView << R"(,"componentType":5125,"count":)"
                      << p.indices.size() << R"(,"type":"SCALAR"})";
            // Every mesh reserves a third accessor so the numbering stays simple.
            const std::vector<glm::vec2> uvs = p.uvs.value_or(std::vector<glm::vec2>(1));
            const int uvView = addView(uvs.data(), uvs.size() * 8);
            accessors << R"(,{"bufferView":)" << uvView << R"(,"componentType":5126,"count":)"
                      << uvs.size() << R"(,"type":"VEC2"})";
            meshJson << (m ? "," : "") << R"({"primitives":[{"attributes":{"POSITION":)" << base;
            if (p.uvs) {
                meshJson << R"(,"TEXCOORD_0":)" << base + 2;
            }
            meshJson << R"(},"indices":)" << base + 1 << R"(,"mode":)" << p.mode << "}]}";
        }
        std::ostringstream nodes, nodeList;
        for (size_t m = 0; m < meshes.size(); ++m) {
            nodes << (m ? "," : "") << R"({"mesh":)" << m << "}";
            nodeList << (m ? "," : "") << m;
        }
        std::ostringstream json;
        json << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)" << nodeList.str()
             << R"(]}],"nodes":[)" << nodes.str() << R"(],"meshes":[)" << meshJson.str()
             << R"(],"buffers":[{"byteLength":)" << bin.size() << R"(}],"bufferViews":[)"
             << views.str() << R"(],"accessors":[)" << accessors.str() << "]}";
        std::string jsonText = json.str();
        while (jsonText.size() % 4 != 0) {
            jsonText.push_back(' ');
        }
        if (meshes.empty()) {
            jsonText = R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[]}],"scene":0})";
            while (jsonText.size() % 4 != 0) {
                jsonText.push_back(' ');
            }
        }

        std::vector<uint8_t> out;
        auto put = [&out](uint32_t value) {
            for (int i = 0; i < 4; ++i) {
                out.push_back(static_cast<uint8_t>(value >> (8 * i)));
            }
        };
        const bool hasBin = !meshes.empty();
        const uint32_t total =
            static_cast<uint32_t>(12 + 8 + jsonText.size() + (hasBin ? 8 + bin.size() : 0));
        put(0x46546C67);  // "glTF"
        put(2);
        put(total);
        put(static_cast<uint32_t>(jsonText.size()));
        put(0x4E4F534A);  // "JSON"
        out.insert(out.end(), jsonText.begin(), jsonText.end());
        if (hasBin) {
            put(static_cast<uint32_t>(bin.size()));
            put(0x004E4942);  // "BIN"
            out.insert(out.end(), bin.begin(), bin.end());
        }
        return out;
    }

  private:
    std::vector<GlbPrimitive> meshes;
};

}  // namespace render_test
