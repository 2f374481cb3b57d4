#version 330 core
// Nine-tap Gaussian (binomial weights) along one axis in five reads: with
// linear filtering each off-centre read lands between two texels at the
// offset that blends them in the right proportion.
in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float offsets[3] = float[](0.0, 1.3846153846, 3.2307692308);
const float weights[3] = float[](0.2270270270, 0.3162162162, 0.0702702703);

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 step = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, texCoord).rgb * weights[0];
    for (int i = 1; i < 3; ++i) {
        sum += texture(image, texCoord + step * offsets[i]).rgb * weights[i];
        sum += texture(image, texCoord - step * offsets[i]).rgb * weights[i];
    }
    fragColor = vec4(sum, 1.0);
}
