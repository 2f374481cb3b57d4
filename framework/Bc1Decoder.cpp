#include "framework/Bc1Decoder.h"

#include <array>

#include "framework/DdsLoader.h"
#include "framework/Gl.h"

namespace {

using Rgba = std::array<uint8_t, 4>;

Rgba widen565(uint16_t c) {
    const auto r = static_cast<uint8_t>((c >> 11) & 0x1f);
    const auto g = static_cast<uint8_t>((c >> 5) & 0x3f);
    const auto b = static_cast<uint8_t>(c & 0x1f);
    return {static_cast<uint8_t>((r << 3) | (r >> 2)), static_cast<uint8_t>((g << 2) | (g >> 4)),
            static_cast<uint8_t>((b << 3) | (b >> 2)), 255};
}

Rgba mix(const Rgba& a, const Rgba& b, int weightA, int weightB) {
    Rgba out{};
    for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<uint8_t>((weightA * a[i] + weightB * b[i]) / (weightA + weightB));
    }
    out[3] = 255;
    return out;
}

}  // namespace

std::vector<uint8_t> decodeBc1(const DDSImage& image) {
    const uint32_t w = image.width;
    const uint32_t h = image.height;
    const size_t blocksPerRow = (size_t{w} + 3) / 4;
    const size_t blockRows = (size_t{h} + 3) / 4;
    if (image.internalFormat != GL_COMPRESSED_RGBA_S3TC_DXT1_EXT || w == 0 || h == 0 ||
        image.data.size() < blocksPerRow * blockRows * 8) {
        return {};
    }
    std::vector<uint8_t> texels(size_t{w} * h * 4);
    for (size_t by = 0; by < blockRows; ++by) {
        for (size_t bx = 0; bx < blocksPerRow; ++bx) {
            const uint8_t* block = image.data.data() + (by * blocksPerRow + bx) * 8;
            const auto c0 = static_cast<uint16_t>(block[0] | (block[1] << 8));
            const auto c1 = static_cast<uint16_t>(block[2] | (block[3] << 8));
            const Rgba a = widen565(c0);
            const Rgba b = widen565(c1);
            const std::array<Rgba, 4> palette =
                c0 > c1 ? std::array<Rgba, 4>{a, b, mix(a, b, 2, 1), mix(a, b, 1, 2)}
                        : std::array<Rgba, 4>{a, b, mix(a, b, 1, 1), Rgba{0, 0, 0, 0}};
            for (size_t y = 0; y < 4; ++y) {
                const size_t row = by * 4 + y;
                if (row >= h) {
                    break;
                }
                const uint8_t bits = block[4 + y];
                for (size_t x = 0; x < 4; ++x) {
                    const size_t column = bx * 4 + x;
                    if (column >= w) {
                        break;
                    }
                    const Rgba& texel = palette[(bits >> (2 * x)) & 3u];
                    uint8_t* out = texels.data() + (row * w + column) * 4;
                    for (int i = 0; i < 4; ++i) {
                        out[i] = texel[i];
                    }
                }
            }
        }
    }
    return texels;
}
