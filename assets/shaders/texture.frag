#version 330 core
// Phong shading under the night sky. The scene's directional light is the
// moon: its colour is cooled and dimmed here so a white light reads as
// moonlight. The point light is a lamp at the world origin that falls off
// with the attenuation triple (constant, linear, quadratic); the vertex stage
// lights it. Output is in display values, as the bloom blend expects.
// Built with MOON_PER_VERTEX, the vertex stage has lit everything and this
// stage only applies the texture. Built with SHININESS_SQUARINGS n, the
// material's shininess is 2 to the n and the highlight is raised to it by
// squaring n times: pow costs a software rasterizer a logarithm and an
// exponential per pixel. Built with MOON_FILL_PER_VERTEX (the water on the
// software path), the vertex stage has added the sky's fill and the moon's
// diffuse light into the lamp's diffuse term, and only the moon's highlight
// is lit here.
in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec3 lampDiffuse;
in vec3 lampSpecular;

struct DirectionalLight {
    vec3 color;
    vec3 direction;  // the way the light travels
};

uniform DirectionalLight dirL;
uniform vec3 camera_world;
uniform vec3 materialCoefficients;  // ambient, diffuse, specular factors
uniform float specularAlpha;        // shininess
uniform sampler2D diffuseTexture;

out vec4 color;

// Stored in the scene target divided by its range (1 unless built with
// SCENE_RANGE: a target of normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

const vec3 moonTint = vec3(0.72, 0.80, 1.0);
// Sky glow on the unlit side. Strong, because the ambient factor of the
// materials is small; the product is a dim blue fill.
const vec3 nightAmbient = vec3(1.4, 1.6, 2.2);

// The highlight's cosine raised to the material's shininess.
float highlight(float cosine) {
#ifdef SHININESS_SQUARINGS
    for (int i = 0; i < SHININESS_SQUARINGS; ++i) {
        cosine *= cosine;
    }
    return cosine;
#else
    return pow(cosine, specularAlpha);
#endif
}

vec3 phong(vec3 n, vec3 toLight, vec3 toEye, vec3 lightColor, vec3 albedo) {
    float diffuse = max(dot(n, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0) {
        specular = highlight(max(dot(reflect(-toLight, n), toEye), 0.0));
    }
    return lightColor * (materialCoefficients.y * diffuse * albedo + materialCoefficients.z * specular);
}

void main() {
#ifdef MOON_PER_VERTEX
    vec3 albedo = texture(diffuseTexture, texCoord).rgb;
    // The two terms carry the moon, the sky's fill and the lamp.
    color = vec4((lampDiffuse * albedo + lampSpecular) / SCENE_RANGE, 1.0);
#else
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(camera_world - worldPosition);
    vec3 albedo = texture(diffuseTexture, texCoord).rgb;
    vec3 moon = dirL.color * moonTint;

#ifdef MOON_FILL_PER_VERTEX
    // The fill and the moon's diffuse light are in the lamp's diffuse term:
    // only the moon's highlight is lit here.
    vec3 lit = phong(n, normalize(-dirL.direction), toEye, moon, vec3(0.0));
#else
    vec3 lit = materialCoefficients.x * nightAmbient * albedo;
    lit += phong(n, normalize(-dirL.direction), toEye, moon, albedo);
#endif

    lit += lampDiffuse * albedo + lampSpecular;

    color = vec4(lit / SCENE_RANGE, 1.0);
#endif
}
