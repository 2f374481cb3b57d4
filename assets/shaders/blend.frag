#version 330 core
// Adds the blurred light to the scene, then maps the result to the screen.
// The scene's colours are display values: they are taken to linear light so
// the bloom adds like light, tone mapped with the ACES fit (soft shoulder,
// so bright glows saturate gracefully instead of clipping) and encoded
// again. Dark night colours come back nearly unchanged.
in vec2 texCoord;

uniform sampler2D scene;
uniform sampler2D bloom;
uniform float bloomStrength;

out vec4 fragColor;

const float gamma = 2.2;

vec3 acesFit(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    vec3 sceneColor = max(texture(scene, texCoord).rgb, vec3(0.0));
    vec3 glow = texture(bloom, texCoord).rgb;
    vec3 light = pow(sceneColor, vec3(gamma)) + bloomStrength * glow;
    fragColor = vec4(pow(acesFit(light), vec3(1.0 / gamma)), 1.0);
}
