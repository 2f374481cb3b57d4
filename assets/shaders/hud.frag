#version 330 core
// A glyph cell spans an eighth of the font sheet in u and v; the sheet's
// alpha cuts the letter out of its cell. The tint is white but for the
// timer's warning colour in a run's last seconds.
in vec2 cellUv;

uniform sampler2D fontTexture;
uniform vec2 uvOffset;
uniform vec3 tint;

out vec4 fragColor;

void main() {
    vec4 texel = texture(fontTexture, uvOffset + 0.125 * cellUv);
    if (texel.a < 0.02) {
        discard;
    }
    fragColor = vec4(texel.rgb * tint, texel.a);
}
