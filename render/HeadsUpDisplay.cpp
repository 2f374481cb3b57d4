#include "render/HeadsUpDisplay.h"

#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/HudLayout.h"
#include "render/RenderTargets.h"
#include "world/ImageFile.h"
#include "world/WorldManager.h"

namespace {

const char* const tutorialPath = "../assets/tutorial/Veltra_TutorialSTART.png";

// x, y, u, v of the unit quad; its lower-left corner sits at the origin so a
// glyph's model matrix is its corner and size.
// Decodes an image as RGBA, bottom row first, no larger than a texture may
// be. Null pixels on failure.
ImageRequest flippedRequest(const std::string& path) {
    return {path, 4, true};
}

DecodedImage loadFlipped(const std::string& path) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const ImageRequest request = flippedRequest(path);
    return decodeImageFile(request.path, request.desiredChannels, request.bottomRowFirst, maxSize);
}

void uploadRgba(const unsigned char* pixels, int width, int height, GLint filter) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

}  // namespace

HeadsUpDisplay::HeadsUpDisplay() = default;

HeadsUpDisplay::~HeadsUpDisplay() = default;

void HeadsUpDisplay::setShaders(std::shared_ptr<Shader> newTextShader,
                                std::shared_ptr<Shader> newTutorialShader) {
    textShader = std::move(newTextShader);
    tutorialShader = std::move(newTutorialShader);
}

std::vector<ImageRequest> HeadsUpDisplay::pictureRequests(const std::string& fontPath) {
    return {flippedRequest(fontPath), flippedRequest(tutorialPath)};
}

void HeadsUpDisplay::loadTextures(const std::string& fontPath) {
    // A second load replaces everything the first one made.
    quadVertexArray.reset();
    quadVertexBuffer.reset();
    tutorialTexture.reset();
    tutorialWidth = 0;
    tutorialHeight = 0;

    fontTexture = generateTexture();
    glBindTexture(GL_TEXTURE_2D, fontTexture.get());
    const DecodedImage font = loadFlipped(fontPath);
    if (!font.pixels) {
        std::cerr << "Failed to load HUD texture: " << fontPath << std::endl;
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    uploadRgba(font.pixels.get(), font.width, font.height, GL_NEAREST);

    tutorialTexture = generateTexture();
    glBindTexture(GL_TEXTURE_2D, tutorialTexture.get());
    const DecodedImage tutorial = loadFlipped(tutorialPath);
    if (tutorial.pixels) {
        const int width = tutorial.width;
        const int height = tutorial.height;
        uploadRgba(tutorial.pixels.get(), width, height, GL_LINEAR);
        // Linear filtering must not pull the opposite edge into the border.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        tutorialWidth = width;
        tutorialHeight = height;
    } else {
        std::cerr << "Failed to load tutorial Screen\n";
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    RenderTargets::buildQuad(quadVertexArray, quadVertexBuffer, RenderTargets::kUnitQuad);
}

glm::vec2 HeadsUpDisplay::uvOffset(unsigned char character) {
    return HudLayout::glyphUvOffset(character);
}

void HeadsUpDisplay::update(float dt, int /*width*/, int /*height*/,
                            const WorldManager& worldManager) {
    // Stack buffers: the texts fit the strings' own storage, so a frame
    // allocates nothing.
    char timer[6];
    HudLayout::formatTimer(worldManager.timeLeft, timer);
    timerText.assign(timer);
    char score[5];
    HudLayout::formatScore(worldManager.getScore(), score);
    scoreText.assign(score);

    fpsTime += dt;
    fpsFrames += 1;
    if (fpsTime >= 1.0f) {
        fps = static_cast<float>(fpsFrames) / fpsTime;
        fpsTime = 0.0f;
        fpsFrames = 0;
        char rate[16];
        HudLayout::formatFps(fps, rate);
        fpsText.assign(rate);
        std::cout << "FPS: " << fps << std::endl;
    }
}

void HeadsUpDisplay::beginText(const glm::mat4& projection) {
    textShader->use();
    textShader->setMat4("projection", projection);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindVertexArray(quadVertexArray.get());
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture.get());
    textShader->setInt("fontTexture", 0);
    textShader->setVec3("tint", glm::vec3(1.0f));
}

void HeadsUpDisplay::endText() {
    glBindVertexArray(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    textShader->unuse();
}

void HeadsUpDisplay::render(int width, int height, const WorldManager& worldManager) {
    const bool waiting = worldManager.state == GameState::Waiting;
    if (waiting) {
        drawTutorial(width, height);
        if (bestRun.empty()) {
            return;
        }
    }
    // Without a font sheet there is no quad and nothing to draw; a window
    // without area has no projection.
    if (!textShader || !quadVertexArray || width <= 0 || height <= 0) {
        return;
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const glm::mat4 projection = glm::ortho(0.0f, w, 0.0f, h, -1.0f, 1.0f);
    if (waiting) {
        beginText(projection);
        const glm::vec2 at = HudLayout::bestRunPosition(bestRun.size(), w);
        drawGlyphs(bestRun.data(), bestRun.size(), at.x, at.y, 0.75f);
        endText();
        return;
    }

    beginText(projection);
    if (worldManager.state == GameState::Countdown) {
        const char digit = HudLayout::countdownDigit(worldManager.countdown);
        const glm::vec2 at = HudLayout::countdownPosition(w, h);
        drawGlyphs(&digit, 1, at.x, at.y, 6.0f);
        endText();
        beginText(projection);
    }

    drawGlyphs("SCORE:", 6, 10.0f, h - 50.0f, 1.0f);
    drawGlyphs(scoreText.data(), scoreText.size(), 10.0f, h - 85.0f, 1.0f);
    drawGlyphs("TIMER:", 6, w - 220.0f, h - 50.0f, 1.0f);
    const glm::vec3 tint = HudLayout::timerTint(
        worldManager.timeLeft, worldManager.state == GameState::Playing, worldManager.isPaused());
    textShader->setVec3("tint", tint);
    drawGlyphs(timerText.data(), timerText.size(), w - 220.0f, h - 85.0f, 1.0f);
    textShader->setVec3("tint", glm::vec3(1.0f));
    drawGlyphs(fpsText.data(), fpsText.size(), 10.0f, 50.0f, 0.5f);

    if (titleVisible) {
        const glm::vec2 at = HudLayout::titlePosition(title.size(), w, h);
        drawGlyphs(title.data(), title.size(), at.x, at.y, 3.0f);
        const glm::vec2 hintAt = HudLayout::restartHintPosition(restartHint.size(), w, h);
        drawGlyphs(restartHint.data(), restartHint.size(), hintAt.x, hintAt.y, 0.7f);
    }
    if (subtitleVisible) {
        const glm::vec2 at = HudLayout::subtitlePosition(subtitle.size(), w, h);
        drawGlyphs(subtitle.data(), subtitle.size(), at.x, at.y, 2.0f);
    }
    if (!record.empty()) {
        const glm::vec2 at = HudLayout::recordPosition(record.size(), w, h);
        drawGlyphs(record.data(), record.size(), at.x, at.y, 1.5f);
    }
    endText();
}

void HeadsUpDisplay::drawText(const std::string& text, float x, float y, float scale) {
    drawGlyphs(text.data(), text.size(), x, y, scale);
}

void HeadsUpDisplay::drawGlyphs(const char* text, std::size_t length, float x, float y,
                                float scale) {
    if (!textShader || !quadVertexArray) {
        return;
    }
    const float size = HudLayout::glyphSize * scale;
    for (std::size_t i = 0; i < length; ++i) {
        const glm::mat4 model = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f)),
                                           glm::vec3(size, size, 1.0f));
        textShader->setMat4("model", model);
        textShader->setVec2("uvOffset", uvOffset(static_cast<unsigned char>(text[i])));
        glDrawArrays(GL_TRIANGLES, 0, 6);
        x += size;
    }
}

void HeadsUpDisplay::drawTutorial(int width, int height) {
    if (!tutorialShader || tutorialWidth == 0 || tutorialHeight == 0 || !quadVertexArray) {
        return;
    }
    const HudLayout::Rect fitted =
        HudLayout::fitTutorial(tutorialWidth, tutorialHeight, width, height);
    if (fitted.width <= 0.0f || fitted.height <= 0.0f) {
        return;
    }

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const glm::mat4 model =
        glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(fitted.x, fitted.y, 0.0f)),
                   glm::vec3(fitted.width, fitted.height, 1.0f));
    const glm::mat4 projection =
        glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height), -1.0f, 1.0f);
    tutorialShader->use();
    tutorialShader->setMat4("mvp", projection * model);
    tutorialShader->setInt("tex", 0);
    glBindVertexArray(quadVertexArray.get());
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, tutorialTexture.get());
    glDrawArrays(GL_TRIANGLES, 0, 6);

    glBindVertexArray(0);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    tutorialShader->unuse();
}
