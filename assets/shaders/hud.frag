#version 330 core
// A glyph cell spans an eighth of the font sheet in u and v; the sheet's
// alpha cuts the letter out of its cell.
in vec2 cellUv;

uniform sampler2D fontTexture;
uniform vec2 uvOffset;

out vec4 fragColor;

void main() {
    vec4 texel = texture(fontTexture, uvOffset + 0.125 * cellUv);
    if (texel.a < 0.02) {
        discard;
    }
    fragColor = texel;
}
