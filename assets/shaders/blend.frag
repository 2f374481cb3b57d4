#version 330 core
// Adds the blurred light to the scene and maps the sum to the screen.
// The scene's colours are display values: squaring takes them to (nearly)
// linear light so the glow adds like light, and the square root encodes the
// result again; both cost far less than pow on a software rasterizer. The
// ACES fit, per channel, gives bright glows a soft shoulder instead of a
// hard clip and whitens their hottest cores, so the rings burn yellow-white
// with a golden rim. Dark night colours come back nearly as they were.
// Both targets are the window's size: each pixel reads its own texels
// directly, without filtering. Built with GLOW_SCALE, the glow's target is
// smaller and is read with filtering, which smooths its texels into the
// window's pixels.

#ifdef GLOW_SCALE
in vec2 texCoord;
#endif

// The scene target holds its light divided by SCENE_RANGE where it is
// built with one (normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

uniform sampler2D scene;
uniform sampler2D bloom;
uniform float bloomStrength;

out vec4 fragColor;

vec3 acesFit(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec3 sceneColor = max(texelFetch(scene, pixel, 0).rgb * SCENE_RANGE, vec3(0.0));
#ifdef GLOW_SCALE
    vec3 glow = texture(bloom, texCoord).rgb;
#else
    vec3 glow = texelFetch(bloom, pixel, 0).rgb;
#endif
    vec3 light = sceneColor * sceneColor + bloomStrength * glow;
    fragColor = vec4(sqrt(acesFit(light)), 1.0);
}
