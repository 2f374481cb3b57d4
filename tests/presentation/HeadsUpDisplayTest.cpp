#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "framework/Shader.h"
#include "presentation/PresentationSupport.h"
#include "render/HeadsUpDisplay.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"
#include "world/WorldManager.h"

namespace {

using namespace presentation_test;

int countLines(const std::string& text, const std::string& line) {
    std::istringstream stream(text);
    int count = 0;
    for (std::string read; std::getline(stream, read);) {
        count += read == line ? 1 : 0;
    }
    return count;
}

TEST(HudFrameRate, SixtyFramesASecondShowSixtyOnceAboutASecondHasPassed) {
    HeadsUpDisplay hud;
    const auto world = makeWorld(nullptr);
    testing::internal::CaptureStdout();
    int refreshedAt = 0;
    for (int frame = 1; frame <= 61 && refreshedAt == 0; ++frame) {
        hud.update(1.0f / 60.0f, 1080, 720, *world);
        if (hud.getFpsText() != "0000") {
            refreshedAt = frame;
        }
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    // Sixty float steps of 1/60 may sum to a hair under one second.
    EXPECT_GE(refreshedAt, 60);
    EXPECT_LE(refreshedAt, 61);
    EXPECT_EQ(hud.getFpsText(), "FPS: 60");
    EXPECT_EQ(printed, "FPS: 60\n");
}

TEST(HudFrameRate, OneConsoleLinePerRefreshInTheStreamsFloatFormat) {
    HeadsUpDisplay hud;
    const auto world = makeWorld(nullptr);
    testing::internal::CaptureStdout();
    // 0.3 s frames: the window closes on the fourth frame, at 1.2 s.
    for (int frame = 0; frame < 3; ++frame) {
        hud.update(0.3f, 1080, 720, *world);
    }
    EXPECT_EQ(hud.getFpsText(), "0000");
    hud.update(0.3f, 1080, 720, *world);
    EXPECT_EQ(hud.getFpsText(), "FPS: 3");
    EXPECT_NEAR(hud.getFps(), 3.3333f, 1e-3f);
    for (int frame = 0; frame < 8; ++frame) {
        hud.update(0.3f, 1080, 720, *world);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countLines(printed, "FPS: 3.33333"), 3);
    EXPECT_EQ(printed.size(), 3 * std::string("FPS: 3.33333\n").size());
}

TEST(HudTexts, FollowTheWorldsTimer) {
    HeadsUpDisplay hud;
    const auto world = makeWorld(nullptr);
    EXPECT_EQ(hud.getTimerText(), "00:00");
    EXPECT_EQ(hud.getScoreText(), "0000");
    world->timeLeft = 125.0f;
    hud.update(0.01f, 1080, 720, *world);
    EXPECT_EQ(hud.getTimerText(), "02:05");
    EXPECT_EQ(hud.getScoreText(), "0000");
    world->timeLeft = 59.9f;
    hud.update(0.01f, 1080, 720, *world);
    EXPECT_EQ(hud.getTimerText(), "00:59");
}

// Drawing tests: the coded font sheet paints every glyph in a colour whose
// red channel is the character's code.
class HudDrawing : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        glViewport(0, 0, 1080, 720);
        testing::internal::CaptureStderr();
        hud = makeCodedHud(directory);
        loadErrors = testing::internal::GetCapturedStderr();
        world = makeWorld(hud);
        world->state = GameState::Playing;
    }

    void clearWindow() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    Image drawHud() {
        clearWindow();
        hud->render(1080, 720, *world);
        return readFramebuffer(1080, 720);
    }

    TempDir directory;
    std::shared_ptr<HeadsUpDisplay> hud;
    std::shared_ptr<WorldManager> world;
    std::string loadErrors;
};

TEST_F(HudDrawing, MissingTutorialPictureIsReportedAndDisablesOnlyTheTutorial) {
    EXPECT_EQ(loadErrors, "Failed to load tutorial Screen\n");
    EXPECT_EQ(hud->getTutorialWidth(), 0);
    EXPECT_EQ(hud->getTutorialHeight(), 0);
    EXPECT_NE(hud->getQuadVertexArray(), 0u);

    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    world->state = GameState::Waiting;
    hud->render(1080, 720, *world);
    EXPECT_EQ(readFramebuffer(1080, 720).at(540, 360), glm::ivec4(51, 102, 153, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HudDrawing, GlyphsSampleTheirOwnCellUprightAndLowerCaseShowsZero) {
    const Image corners = drawHud();
    // "SCORE:" starts at (10, 670), "TIMER:" at (860, 670), the score digits
    // at (10, 635), the frame rate (half size) at (10, 50).
    EXPECT_EQ(corners.at(11, 671).x, 'S');
    EXPECT_EQ(corners.at(41, 701).x, 'S');
    EXPECT_EQ(corners.at(43, 671).x, 'C');
    EXPECT_EQ(corners.at(861, 671).x, 'T');
    EXPECT_EQ(corners.at(11, 636).x, '0');
    EXPECT_EQ(corners.at(861 + 64, 636).x, ':');
    EXPECT_EQ(corners.at(11, 51).x, '0');
    EXPECT_EQ(corners.at(25, 65).x, '0');
    EXPECT_EQ(corners.at(27, 51).x, '0');  // second character of "0000" after 16 pixels
    EXPECT_EQ(corners.at(9, 671), glm::ivec4(0, 0, 0, 255));
    // Green is 255 - code: the whole cell came from one glyph.
    EXPECT_EQ(corners.at(11, 671).y, 255 - 'S');

    world->state = GameState::Lost;
    hud->setTitle("ab!Z");
    const Image title = drawHud();
    const glm::vec2 at((1080.0f - 4 * 96.0f) / 2.0f, 312.0f);
    EXPECT_EQ(title.at(static_cast<int>(at.x) + 10, 320).x, '0');
    EXPECT_EQ(title.at(static_cast<int>(at.x) + 96 + 10, 320).x, '0');
    EXPECT_EQ(title.at(static_cast<int>(at.x) + 192 + 10, 320).x, '!');
    EXPECT_EQ(title.at(static_cast<int>(at.x) + 288 + 10, 400).x, 'Z');
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HudDrawing, GameOverTitleStartsAt108By312WithTheRestartHintAbove) {
    world->state = GameState::Lost;
    hud->setTitle("GAME OVER");
    const Image image = drawHud();
    EXPECT_EQ(image.at(108, 312).x, 'G');
    EXPECT_EQ(image.at(107, 312).x, 0);
    EXPECT_EQ(image.at(108, 311).x, 0);
    EXPECT_EQ(image.at(108 + 9 * 96 - 1, 312 + 95).x, 'R');
    EXPECT_EQ(image.at(108 + 9 * 96, 312 + 95).x, 0);
    EXPECT_EQ(image.at(108 + 4 * 96 + 50, 350).x, ' ');
    // "PRESS SPACE TO RESTART": 22 glyphs of 22.4 pixels from x = 293.6 at y = 610.
    EXPECT_EQ(image.at(300, 615).x, 'P');
    EXPECT_EQ(image.at(293 + 21 * 22 + 12, 625).x, 'T');

    hud->setTitle("");
    const Image hidden = drawHud();
    EXPECT_EQ(hidden.at(150, 350).x, 0);
    EXPECT_EQ(hidden.at(300, 615).x, 0);
}

TEST_F(HudDrawing, SubtitleSitsUnderTheTitle) {
    world->state = GameState::Won;
    hud->setSubtitle("POINTS: 12");
    const Image image = drawHud();
    // ((1080 - 10 * 64) / 2, (720 - 64) / 2 - 128) = (220, 200).
    EXPECT_EQ(image.at(221, 201).x, 'P');
    EXPECT_EQ(image.at(220 + 6 * 64 + 30, 230).x, ':');
    EXPECT_EQ(image.at(220 + 9 * 64 + 63, 263).x, '2');
    EXPECT_EQ(image.at(219, 230).x, 0);

    // A new best, in 48-pixel glyphs from ((1080 - 9 * 48) / 2, 200 - 48 - 32),
    // clear of the subtitle above and the frame rate below.
    hud->record = "NEW BEST!";
    const Image best = drawHud();
    EXPECT_EQ(best.at(325, 121).x, 'N');
    EXPECT_EQ(best.at(324 + 8 * 48 + 40, 160).x, '!');
    EXPECT_EQ(best.at(221, 201).x, 'P');
    EXPECT_EQ(best.at(323, 121).x, 0);
}

TEST_F(HudDrawing, OnlyTheTimerTakesTheWarningColourInTheLastSeconds) {
    world->timeLeft = 5.9f;
    hud->update(0.0f, 1080, 720, *world);
    const Image image = drawHud();
    // "00:05" from (860, 635): its first digit, and the score's, are '0'.
    const glm::ivec4 timer = image.at(861, 636);
    const glm::ivec4 score = image.at(11, 636);
    EXPECT_EQ(score.y, 255 - '0');
    EXPECT_LT(timer.y, score.y / 2);
    EXPECT_NEAR(timer.x, '0', 3);                // red kept: a warm warning colour
    EXPECT_EQ(image.at(861, 671).y, 255 - 'T');  // the label keeps its colour
}

TEST_F(HudDrawing, CountdownDigitOnlyWhileCountingDown) {
    world->state = GameState::Countdown;
    world->countdown = 2.3f;
    const Image counting = drawHud();
    // A 192-pixel digit from (444, 264); the corners are drawn as well.
    EXPECT_EQ(counting.at(444, 264).x, '3');
    EXPECT_EQ(counting.at(444 + 191, 264 + 191).x, '3');
    EXPECT_EQ(counting.at(11, 671).x, 'S');

    world->countdown = 0.2f;
    EXPECT_EQ(drawHud().at(540, 360).x, '1');

    world->state = GameState::Playing;
    EXPECT_EQ(drawHud().at(540, 360).x, 0);
}

TEST_F(HudDrawing, RenderLeavesDepthTestOnAndBlendingOff) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    drawHud();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
}

TEST(HudLoading, MissingFontSheetIsReportedAndTheHudDrawsNothing) {
    REQUIRE_GL_CONTEXT();
    glViewport(0, 0, 1080, 720);
    auto hud = std::make_shared<HeadsUpDisplay>();
    hud->setShaders(std::make_shared<Shader>("assets/shaders/hud.vert", "assets/shaders/hud.frag"),
                    std::make_shared<Shader>("assets/shaders/fullScreen.vert",
                                             "assets/shaders/fullScreen.frag"));
    testing::internal::CaptureStderr();
    hud->loadTextures("no/such/font.tga");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Failed to load HUD texture: no/such/font.tga\n");
    EXPECT_EQ(hud->getQuadVertexArray(), 0u);
    EXPECT_EQ(hud->getTutorialTexture(), 0u);

    const auto world = makeWorld(hud);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const GameState state : {GameState::Waiting, GameState::Countdown, GameState::Lost}) {
        world->state = state;
        hud->setTitle("GAME OVER");
        hud->render(1080, 720, *world);
    }
    EXPECT_EQ(readFramebuffer(1080, 720).at(120, 320), glm::ivec4(51, 102, 153, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(HudTutorial, WidePictureIsFittedToTheWindowWidthOnBlack) {
    REQUIRE_GL_CONTEXT();
    glViewport(0, 0, 1080, 720);
    TempDir directory;
    writeCodedFontSheet(directory.path() / "font.tga");
    writeSolidPng(directory.path() / "assets/tutorial/Veltra_TutorialSTART.png", 1920, 1080,
                  glm::ivec4(200, 100, 50, 255));
    auto hud = std::make_shared<HeadsUpDisplay>();
    hud->setShaders(std::make_shared<Shader>("assets/shaders/hud.vert", "assets/shaders/hud.frag"),
                    std::make_shared<Shader>("assets/shaders/fullScreen.vert",
                                             "assets/shaders/fullScreen.frag"));
    {
        ScopedWorkingDirectory inside(directory.path() / "run");
        testing::internal::CaptureStderr();
        hud->loadTextures((directory.path() / "font.tga").string());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_EQ(hud->getTutorialWidth(), 1920);
    EXPECT_EQ(hud->getTutorialHeight(), 1080);

    const auto world = makeWorld(hud);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    hud->render(1080, 720, *world);  // Waiting: the tutorial screen only
    const Image image = readFramebuffer(1080, 720);
    // 1080 by 607.5 from y = 56.25: black bars of 56 rows below and above.
    const glm::ivec4 picture(200, 100, 50, 255);
    const glm::ivec4 black(0, 0, 0, 255);
    EXPECT_EQ(image.at(540, 55), black);
    EXPECT_EQ(image.at(540, 57), picture);
    EXPECT_EQ(image.at(0, 360), picture);
    EXPECT_EQ(image.at(1079, 360), picture);
    EXPECT_EQ(image.at(540, 662), picture);
    EXPECT_EQ(image.at(540, 664), black);
    // The tutorial screen draws no corner texts.
    EXPECT_EQ(image.at(11, 680), black);

    // The best run sits in the bar under the picture: 28 glyphs of 24
    // pixels from ((1080 - 28 * 24) / 2, 10).
    hud->bestRun = "BEST: 0012 POINTS 01:05 LEFT";
    hud->render(1080, 720, *world);
    const Image withBest = readFramebuffer(1080, 720);
    EXPECT_EQ(withBest.at(205, 11).x, 'B');
    EXPECT_EQ(withBest.at(204 + 27 * 24 + 20, 30).x, 'T');
    EXPECT_EQ(withBest.at(203, 11), black);
    EXPECT_EQ(withBest.at(540, 57), picture);
    EXPECT_EQ(withBest.at(11, 680), black);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Pictures to look at: the HUD over a night-blue window and the start
// screen, with the game's own font sheet and tutorial picture.
}  // namespace
