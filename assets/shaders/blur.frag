#version 330 core
// One axis of the glow's blur in two reads. With linear filtering each read
// lands halfway between two texels along the axis and halfway between two
// lines across it, so it averages a 2 by 2 block: one block 1 and 2 texels
// ahead, the other 1 and 2 behind, offset across in opposite directions so
// the picture does not shift. The kernel has no centre tap; the next pass
// along the same axis fills it in, and the three passes together spread a
// bright texel about five texels each way. On a software rasterizer every
// read of the half-float target is costly, and this blur is three of the
// frame's full-screen passes.
in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 along = horizontal == 1 ? vec2(1.5 * texel.x, 0.0) : vec2(0.0, 1.5 * texel.y);
    vec2 across = horizontal == 1 ? vec2(0.0, 0.5 * texel.y) : vec2(0.5 * texel.x, 0.0);
    vec3 sum = texture(image, texCoord + along + across).rgb +
               texture(image, texCoord - along - across).rgb;
    fragColor = vec4(0.5 * sum, 1.0);
}
