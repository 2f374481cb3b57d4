#version 330 core
// Keeps what is brighter than "cutoff". The threshold is soft: a pixel just
// over it contributes little, so the glow does not switch on with a hard edge
// as a surface brightens. At full resolution the target is the scene's size
// and each pixel reads its own texel directly, without filtering. Built with
// GLOW_SCALE (2 to 4), a glow texel covers that many scene pixels along each
// axis: each is kept or not on its own and the kept light is averaged, so a
// ring's thin bright edge glows as it does at full resolution instead of
// being dimmed under the threshold by the dark pixels beside it.
// The scene target holds its light divided by SCENE_RANGE where it is
// built with one (normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

uniform sampler2D sceneTex;
uniform float cutoff;
uniform float gain;

out vec4 fragColor;

vec3 keptLight(vec3 color) {
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    return color * (max(luminance - cutoff, 0.0) / max(luminance, 1e-4));
}

void main() {
#ifdef GLOW_SCALE
    ivec2 last = textureSize(sceneTex, 0) - 1;
    ivec2 corner = ivec2(gl_FragCoord.xy) * GLOW_SCALE;
    vec3 sum = vec3(0.0);
    for (int y = 0; y < GLOW_SCALE; ++y) {
        for (int x = 0; x < GLOW_SCALE; ++x) {
            vec3 color = texelFetch(sceneTex, min(corner + ivec2(x, y), last), 0).rgb;
            sum += keptLight(color * SCENE_RANGE);
        }
    }
    fragColor = vec4(sum * (gain / float(GLOW_SCALE * GLOW_SCALE)), 1.0);
#else
    vec3 color = texelFetch(sceneTex, ivec2(gl_FragCoord.xy), 0).rgb * SCENE_RANGE;
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    float kept = max(luminance - cutoff, 0.0) / max(luminance, 1e-4);
    fragColor = vec4(color * kept * gain, 1.0);
#endif
}
