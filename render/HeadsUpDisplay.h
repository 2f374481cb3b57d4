#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "framework/GlName.h"
#include "world/ImageFile.h"

class Shader;
class WorldManager;

// Score, timer and frame rate in the corners, the countdown digit, the
// centred messages with the restart hint, and the tutorial picture before
// the first start. Text comes from an 8 by 8 font sheet, one quad per
// character, in window pixels with the origin at the bottom left.
class HeadsUpDisplay {
  public:
    HeadsUpDisplay();
    ~HeadsUpDisplay();

    HeadsUpDisplay(const HeadsUpDisplay&) = delete;
    HeadsUpDisplay& operator=(const HeadsUpDisplay&) = delete;

    void setShaders(std::shared_ptr<Shader> textShader, std::shared_ptr<Shader> tutorialShader);
    // Loads the font sheet and the tutorial picture and builds the quad.
    void loadTextures(const std::string& fontPath);
    // The pictures loadTextures decodes, as it asks for them.
    static std::vector<ImageRequest> pictureRequests(const std::string& fontPath);

    // Refreshes the texts from the world manager and measures the frame rate.
    void update(float dt, int width, int height, const WorldManager& worldManager);
    void render(int width, int height, const WorldManager& worldManager);

    void drawText(const std::string& text, float x, float y, float scale);
    void drawTutorial(int width, int height);

    // Lower-left texture coordinate of a character's cell in the font sheet.
    static glm::vec2 uvOffset(unsigned char character);

    const std::string& getScoreText() const { return scoreText; }
    const std::string& getTimerText() const { return timerText; }
    const std::string& getFpsText() const { return fpsText; }
    float getFps() const { return fps; }
    int32_t getTutorialWidth() const { return tutorialWidth; }
    int32_t getTutorialHeight() const { return tutorialHeight; }
    uint32_t getFontTexture() const { return fontTexture.get(); }
    uint32_t getTutorialTexture() const { return tutorialTexture.get(); }
    uint32_t getQuadVertexArray() const { return quadVertexArray.get(); }

    // Written directly by the world manager and the loading screen.
    std::string restartHint = "PRESS SPACE TO RESTART";
    std::string title;
    bool titleVisible = false;
    std::string subtitle;
    bool subtitleVisible = false;
    // The best run, under the tutorial picture on the start screen, and a
    // won run's place among the best runs, under the subtitle; empty: none.
    std::string bestRun;
    std::string record;

    void setTitle(const std::string& text) {
        title = text;
        titleVisible = !text.empty();
    }
    void setSubtitle(const std::string& text) {
        subtitle = text;
        subtitleVisible = !text.empty();
    }

  private:
    void drawGlyphs(const char* text, std::size_t length, float x, float y, float scale);
    void beginText(const glm::mat4& projection);
    void endText();

    GlTexture tutorialTexture;
    std::shared_ptr<Shader> textShader;
    std::shared_ptr<Shader> tutorialShader;
    GlVertexArray quadVertexArray;
    GlBuffer quadVertexBuffer;
    GlTexture fontTexture;
    std::string scoreText = "0000";
    std::string timerText = "00:00";
    std::string fpsText = "0000";
    float fpsTime = 0.0f;
    uint32_t fpsFrames = 0;
    float fps = 0.0f;
    int32_t tutorialWidth = 0;
    int32_t tutorialHeight = 0;
};
