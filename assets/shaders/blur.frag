#version 330 core
// A seven-texel Gaussian (sigma 3, cut at three texels) along one axis in
// four reads: with linear filtering each read lands between two texels at
// the point that blends them in the kernel's proportion, the inner pair
// sharing the centre texel. Each read also sits half a texel off the axis,
// up on one side and down on the other, so it averages two neighbouring
// lines as well: the filter fetches those texels anyway, and the small
// spread across the axis lets three passes reach as far as five reads did.
// On a software rasterizer every read of the half-float target is costly.
in vec2 texCoord;

uniform sampler2D image;
uniform int horizontal;

out vec4 fragColor;

const float innerOffset = 0.6542088414;
const float innerWeight = 0.2533901438;
const float outerOffset = 2.4309986674;
const float outerWeight = 0.2466098562;

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 along = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec2 across = horizontal == 1 ? vec2(0.0, 0.5 * texel.y) : vec2(0.5 * texel.x, 0.0);
    // Opposite reads are offset across the axis in opposite directions, so
    // the kernel is point-symmetric and the picture does not shift.
    vec3 sum = (texture(image, texCoord + along * innerOffset + across).rgb +
                texture(image, texCoord - along * innerOffset - across).rgb) * innerWeight;
    sum += (texture(image, texCoord + along * outerOffset - across).rgb +
            texture(image, texCoord - along * outerOffset + across).rgb) * outerWeight;
    fragColor = vec4(sum, 1.0);
}
