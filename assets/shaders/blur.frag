#version 330 core
// One axis of the glow's blur in three reads: the pixel's own texel, and two
// filtered reads 2.5 texels to either side. With linear filtering each of
// those lands between texels 2 and 3 along the axis and between two lines
// across it, so it averages a 2 by 2 block; the blocks sit across in
// opposite directions, so the picture does not shift. Texel 1 is skipped in
// one pass and filled in by the next along the same axis: the three passes
// spread a bright texel about eight texels each way along x, as far as a
// seven-texel Gaussian in four reads did. On a software rasterizer every
// read of the half-float target is costly, and this blur is three of the
// frame's full-screen passes. Built with GLOW_SCALE, the target has that
// many times fewer texels along each axis, and the reads reach as far in
// window pixels as at full resolution.
in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float centreWeight = 0.4;
const float sideWeight = 0.3;  // per 2 by 2 block
#ifdef GLOW_SCALE
const float reach = 1.0 / float(GLOW_SCALE);
#endif

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
#ifdef GLOW_SCALE
    texel *= reach;
#endif
    vec2 along = horizontal == 1 ? vec2(2.5 * texel.x, 0.0) : vec2(0.0, 2.5 * texel.y);
    vec2 across = horizontal == 1 ? vec2(0.0, 0.5 * texel.y) : vec2(0.5 * texel.x, 0.0);
    vec3 centre = texelFetch(image, ivec2(gl_FragCoord.xy), 0).rgb;
    vec3 sides = texture(image, texCoord + along + across).rgb +
                 texture(image, texCoord - along - across).rgb;
    fragColor = vec4(centreWeight * centre + sideWeight * sides, 1.0);
}
