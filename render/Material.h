#pragma once

#include <cstdint>
#include <memory>

#include <glm/glm.hpp>

class Shader;
class Texture;

// A shader plus the per-surface uniform values and textures. setUniforms
// uploads into whatever program the caller has made current; a material
// never makes its shader current itself and never draws.
class Material {
  public:
    virtual ~Material() = default;
    virtual void setUniforms();

    const std::shared_ptr<Shader>& getShader() const { return shader; }

  protected:
    Material(std::shared_ptr<Shader> shader, const glm::vec3& materialCoefficients,
             float specularAlpha);

    std::shared_ptr<Shader> shader;
    glm::vec3 materialCoefficients;  // ambient, diffuse and specular factors
    float specularAlpha;             // shininess
};

class TextureMaterial : public Material {
  public:
    TextureMaterial(std::shared_ptr<Shader> shader, const glm::vec3& materialCoefficients,
                    float specularAlpha, std::shared_ptr<Texture> diffuseTexture);
    void setUniforms() override;

  protected:
    std::shared_ptr<Texture> diffuseTexture;
};

// Reflects a cube map it does not own (the sky's).
class CubemapMaterial : public Material {
  public:
    CubemapMaterial(std::shared_ptr<Shader> shader, int32_t cubemapTexture);
    void setUniforms() override;

  private:
    uint32_t cubemapTexture;
};

class EmissiveMaterial : public Material {
  public:
    EmissiveMaterial(std::shared_ptr<Shader> shader, const glm::vec3& emissiveColor);
    void setUniforms() override;

    const glm::vec3& getEmissiveColor() const { return emissiveColor; }

    // From start to end units from the eye the surface's glow dims to
    // farStrength times its colour: a small object far off then glows no
    // wider than itself. Without it (end not beyond start) the glow is the
    // same at every distance.
    void setGlowFade(float start, float end, float farStrength);

  private:
    glm::vec3 emissiveColor;
    glm::vec3 glowFade{0.0f};  // start, end, far strength
};

// A textured surface whose grid the vertex stage waves over time.
class WaterMaterial : public TextureMaterial {
  public:
    WaterMaterial(std::shared_ptr<Shader> shader, const glm::vec4& waterColor, float specularAlpha,
                  std::shared_ptr<Texture> diffuseTexture);
    void setUniforms() override;

    // Advances the wave time by dt seconds; called once per frame.
    void update(float dt) { time += dt; }
    float getTime() const { return time; }
    // The most a vertex rises or sinks with the waves.
    float getWaveAmplitude() const { return waveAmplitude; }

  private:
    glm::vec4 waterColor;
    float time = 0.0f;
    float waveFrequency = 1.0f;
    float waveAmplitude = 0.5f;
};
