#version 330 core
// Keeps what is brighter than "cutoff". The threshold is soft: a pixel just
// over it contributes little, so the glow does not switch on with a hard edge
// as a surface brightens. The target is the scene's size, so each pixel reads
// its own texel directly, without filtering.
uniform sampler2D sceneTex;
uniform float cutoff;
uniform float gain;

out vec4 fragColor;

void main() {
    vec3 color = texelFetch(sceneTex, ivec2(gl_FragCoord.xy), 0).rgb;
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    float kept = max(luminance - cutoff, 0.0) / max(luminance, 1e-4);
    fragColor = vec4(color * kept * gain, 1.0);
}
