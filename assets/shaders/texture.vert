#version 330 core
// Lit, textured objects: everything is handed to the fragment stage in world
// space, where the lights and the camera live. The lamp is lit here, per
// vertex: its attenuation (1, 0.4, 0.1 in the level) spends its light within
// a few units, where a vertex apart is no difference to see, and a software
// rasterizer saves a second Phong term on every pixel. The moon, whose glints
// ride the water's swell, stays per pixel in texture.frag.
// Built with MOON_PER_VERTEX (the software path), the moon and the night
// sky's fill are lit here as well and added into the two lamp terms: on a
// CPU rasterizer every value handed to the fragment stage and every
// instruction there is paid per pixel, and the land and the models, unlike
// the water, carry no highlight small enough for a vertex apart to show.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;

struct PointLight {
    vec3 color;
    vec3 position;
    vec3 attenuation;
};

uniform mat4 modelMatrix;
uniform mat4 viewProjMatrix;
uniform mat3 normalMatrix;
uniform PointLight pointL;
uniform vec3 camera_world;
uniform vec3 materialCoefficients;  // ambient, diffuse, specular factors
uniform float specularAlpha;        // shininess

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec3 lampDiffuse;   // times the albedo
out vec3 lampSpecular;  // added as it is

#ifdef MOON_PER_VERTEX
struct DirectionalLight {
    vec3 color;
    vec3 direction;  // the way the light travels
};
uniform DirectionalLight dirL;
// As in texture.frag.
const vec3 moonTint = vec3(0.72, 0.80, 1.0);
const vec3 nightAmbient = vec3(1.4, 1.6, 2.2);
#endif

void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalMatrix * normal;
    texCoord = uv;
    gl_Position = viewProjMatrix * world;

    vec3 n = normalize(worldNormal);
    vec3 toLamp = pointL.position - worldPosition;
    float d = max(length(toLamp), 1e-4);
    vec3 toLight = toLamp / d;
    vec3 falloff = pointL.color / (pointL.attenuation.x + pointL.attenuation.y * d +
                                   pointL.attenuation.z * d * d);
    float diffuse = max(dot(n, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0) {
        vec3 toEye = normalize(camera_world - worldPosition);
        specular = pow(max(dot(reflect(-toLight, n), toEye), 0.0), specularAlpha);
    }
    lampDiffuse = falloff * materialCoefficients.y * diffuse;
    lampSpecular = falloff * materialCoefficients.z * specular;
#ifdef MOON_PER_VERTEX
    vec3 toEye = normalize(camera_world - worldPosition);
    vec3 toMoon = normalize(-dirL.direction);
    vec3 moon = dirL.color * moonTint;
    float moonDiffuse = max(dot(n, toMoon), 0.0);
    float moonSpecular = 0.0;
    if (moonDiffuse > 0.0) {
        moonSpecular = pow(max(dot(reflect(-toMoon, n), toEye), 0.0), specularAlpha);
    }
    lampDiffuse +=
        materialCoefficients.x * nightAmbient + moon * materialCoefficients.y * moonDiffuse;
    lampSpecular += moon * materialCoefficients.z * moonSpecular;
#endif
}
