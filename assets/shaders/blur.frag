#version 330 core
// A nine-texel Gaussian along one axis in five reads: with linear filtering
// each off-centre read lands between two texels at the point that blends
// them in the right proportion. The Gaussian is a wide one (sigma 3, cut at
// four texels) so three full-resolution passes still give a visible halo.
in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float offsets[3] = float[](0.0, 1.4584295168, 3.4039848067);
const float weights[3] = float[](0.1531703276, 0.2675421321, 0.1558727041);

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 axis = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, texCoord).rgb * weights[0];
    for (int i = 1; i < 3; ++i) {
        sum += texture(image, texCoord + axis * offsets[i]).rgb * weights[i];
        sum += texture(image, texCoord - axis * offsets[i]).rgb * weights[i];
    }
    fragColor = vec4(sum, 1.0);
}
