#include "render/Material.h"

#include <utility>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/Texture.h"

Material::Material(std::shared_ptr<Shader> shader, const glm::vec3& materialCoefficients,
                   float specularAlpha)
    : shader(std::move(shader)),
      materialCoefficients(materialCoefficients),
      specularAlpha(specularAlpha) {}

void Material::setUniforms() {
    shader->setVec3("materialCoefficients", materialCoefficients);
    shader->setFloat("specularAlpha", specularAlpha);
}

TextureMaterial::TextureMaterial(std::shared_ptr<Shader> shader,
                                 const glm::vec3& materialCoefficients, float specularAlpha,
                                 std::shared_ptr<Texture> diffuseTexture)
    : Material(std::move(shader), materialCoefficients, specularAlpha),
      diffuseTexture(std::move(diffuseTexture)) {}

void TextureMaterial::setUniforms() {
    Material::setUniforms();
    // An unloaded (or absent) texture binds nothing; the unit keeps what it had.
    if (diffuseTexture) {
        diffuseTexture->bind(0);
    }
    shader->setInt("diffuseTexture", 0);
}

// The coefficients are fixed and never uploaded: the mirror shows the sky
// as it is, unlit.
CubemapMaterial::CubemapMaterial(std::shared_ptr<Shader> shader, int32_t cubemapTexture)
    : Material(std::move(shader), glm::vec3(1.0f), 1.0f),
      cubemapTexture(static_cast<uint32_t>(cubemapTexture)) {}

void CubemapMaterial::setUniforms() {
    shader->setInt("skybox", 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubemapTexture);
}

// Emissive surfaces are not lit, so the base values stay on the CPU and a
// program shared with lit materials keeps their last coefficients.
EmissiveMaterial::EmissiveMaterial(std::shared_ptr<Shader> shader, const glm::vec3& emissiveColor)
    : Material(std::move(shader), glm::vec3(0.0f), 1.0f), emissiveColor(emissiveColor) {}

void EmissiveMaterial::setUniforms() {
    shader->setVec3("emissiveColor", emissiveColor);
    shader->setVec3("glowFade", glowFade);
}

void EmissiveMaterial::setGlowFade(float start, float end, float farStrength) {
    glowFade = glm::vec3(start, end, farStrength);
}

WaterMaterial::WaterMaterial(std::shared_ptr<Shader> shader, const glm::vec4& waterColor,
                             float specularAlpha, std::shared_ptr<Texture> diffuseTexture)
    : TextureMaterial(std::move(shader), glm::vec3(0.1f, 0.8f, 0.3f), specularAlpha,
                      std::move(diffuseTexture)),
      waterColor(waterColor) {}

void WaterMaterial::setUniforms() {
    TextureMaterial::setUniforms();
    shader->setFloat("time", time);
    shader->setFloat("waveFrequency", waveFrequency);
    shader->setFloat("waveAmplitude", waveAmplitude);
}
