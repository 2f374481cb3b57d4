#version 330 core
// The water grid, waved in place: two travelling sine waves across the
// surface, with the normal taken from their slopes so the moon's glints ride
// the swell. Shares texture.frag with the lit objects, and lights the lamp per
// vertex as texture.vert does. Built with MOON_FILL_PER_VERTEX (the software
// path), the night sky's fill and the moon's diffuse light are lit here too
// and added into the lamp's diffuse term: the swell bends them over tens of
// units, where a vertex apart is no difference to see, and texture.frag lights
// only the moon's glints per pixel.
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
uniform float time;
uniform float waveFrequency;  // how fast the crests travel
uniform float waveAmplitude;  // crest height in world units
uniform PointLight pointL;
uniform vec3 camera_world;
uniform vec3 materialCoefficients;  // ambient, diffuse, specular factors
uniform float specularAlpha;        // shininess

#ifdef MOON_FILL_PER_VERTEX
struct DirectionalLight {
    vec3 color;
    vec3 direction;  // the way the light travels
};
uniform DirectionalLight dirL;
// As in texture.frag.
const vec3 moonTint = vec3(0.72, 0.80, 1.0);
const vec3 nightAmbient = vec3(1.4, 1.6, 2.2);
#endif

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec3 lampDiffuse;   // times the albedo
out vec3 lampSpecular;  // added as it is

// Wavelengths of about 110 and 70 units: several grid cells each (the grid
// spacing is about 20 units), so the swell never aliases between vertices.
const vec2 waveA = vec2(0.057, 0.021);
const vec2 waveB = vec2(-0.030, 0.083);
// The texture repeats across the sheet and drifts slowly with the waves.
const float uvRepeat = 40.0;
const vec2 uvDrift = vec2(0.004, 0.0025);

void main() {
    float phaseA = dot(waveA, position.xz) + waveFrequency * time;
    float phaseB = dot(waveB, position.xz) + 1.37 * waveFrequency * time;
    float height = waveAmplitude * (0.6 * sin(phaseA) + 0.4 * sin(phaseB));
    vec2 slope = waveAmplitude * (0.6 * cos(phaseA) * waveA + 0.4 * cos(phaseB) * waveB);

    vec3 waved = position + normal * height;
    vec3 wavedNormal = normalize(vec3(-slope.x, 1.0, -slope.y));

    vec4 world = modelMatrix * vec4(waved, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalMatrix * wavedNormal;
    texCoord = uv * uvRepeat + uvDrift * time;
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
#ifdef MOON_FILL_PER_VERTEX
    float moonDiffuse = max(dot(n, normalize(-dirL.direction)), 0.0);
    lampDiffuse += materialCoefficients.x * nightAmbient +
                   dirL.color * moonTint * materialCoefficients.y * moonDiffuse;
#endif
}
