#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "render/HeadsUpDisplay.h"
#include "render/HudLayout.h"

namespace {

std::string timer(float seconds) {
    char buffer[6];
    HudLayout::formatTimer(seconds, buffer);
    return buffer;
}

std::string score(float points) {
    char buffer[5];
    HudLayout::formatScore(points, buffer);
    return buffer;
}

std::string fps(float rate) {
    char buffer[16];
    HudLayout::formatFps(rate, buffer);
    return buffer;
}

TEST(HudTextFormats, TimerShowsWholeMinutesAndSecondsLeft) {
    EXPECT_EQ(timer(125.0f), "02:05");
    EXPECT_EQ(timer(120.0f), "02:00");
    EXPECT_EQ(timer(59.9f), "00:59");  // seconds are truncated, not rounded
    EXPECT_EQ(timer(0.0f), "00:00");
    EXPECT_EQ(timer(0.99f), "00:00");
}

TEST(HudTextFormats, TimerNeverOverrunsItsFiveCharacters) {
    EXPECT_EQ(timer(-3.0f), "00:00");
    EXPECT_EQ(timer(1.0e30f), "99:59");
    EXPECT_EQ(timer(std::numeric_limits<float>::quiet_NaN()), "00:00");
}

TEST(HudTextFormats, ScoreHasFourDigitsAndDropsAFifth) {
    EXPECT_EQ(score(0.0f), "0000");
    EXPECT_EQ(score(7.0f), "0007");
    EXPECT_EQ(score(7.9f), "0007");
    EXPECT_EQ(score(12345.0f), "1234");
    EXPECT_EQ(score(1.0e12f), "9999");
}

TEST(HudTextFormats, FrameRateIsRoundedToAWholeNumber) {
    EXPECT_EQ(fps(60.0f), "FPS: 60");
    EXPECT_EQ(fps(59.6f), "FPS: 60");
    EXPECT_EQ(fps(143.2f), "FPS: 143");
}

TEST(HudCountdown, DigitIsTheSecondsLeftRoundedUp) {
    EXPECT_EQ(HudLayout::countdownDigit(3.0f), '3');
    EXPECT_EQ(HudLayout::countdownDigit(2.3f), '3');
    EXPECT_EQ(HudLayout::countdownDigit(2.0f), '2');
    EXPECT_EQ(HudLayout::countdownDigit(0.2f), '1');
    // Out of the game's range the digit stays a digit.
    EXPECT_EQ(HudLayout::countdownDigit(42.0f), '9');
    EXPECT_EQ(HudLayout::countdownDigit(-1.0f), '0');
}

TEST(HudTimerWarning, TheLastTenSecondsPulseInTheWarningColourOnceASecond) {
    const glm::vec3 white(1.0f);
    EXPECT_EQ(HudLayout::timerTint(10.0f, true, false), white);  // still shows 00:10
    EXPECT_EQ(HudLayout::timerTint(5.5f, false, false), white);  // not a running run
    EXPECT_EQ(HudLayout::timerTint(0.0f, true, false), white);   // time is up
    const glm::vec3 starting = HudLayout::timerTint(8.99f, true, false);
    const glm::vec3 ending = HudLayout::timerTint(8.01f, true, false);
    EXPECT_NE(starting, white);
    EXPECT_LT(starting.g, starting.r);       // warm, not grey
    EXPECT_GT(starting.r, ending.r + 0.3f);  // one pulse a second
    EXPECT_NEAR(HudLayout::timerTint(7.99f, true, false).r, starting.r, 1e-3f);
    EXPECT_NEAR(HudLayout::timerTint(8.01f, true, true).r, starting.r, 0.01f);  // held while paused
}

TEST(HudPlacement, GameOverTitleOnTheGameWindow) {
    const glm::vec2 at = HudLayout::titlePosition(std::string("GAME OVER").size(), 1080, 720);
    EXPECT_FLOAT_EQ(at.x, 108.0f);
    EXPECT_FLOAT_EQ(at.y, 312.0f);
}

TEST(HudPlacement, HintSubtitleAndCountdownAreCentredHorizontally) {
    // 22 characters of 22.4 pixels.
    const glm::vec2 hint = HudLayout::restartHintPosition(22, 1080, 720);
    EXPECT_NEAR(hint.x, (1080.0f - 492.8f) / 2.0f, 1e-3f);
    EXPECT_FLOAT_EQ(hint.y, 610.0f);

    const glm::vec2 subtitle = HudLayout::subtitlePosition(10, 1080, 720);  // "POINTS: 12"
    EXPECT_FLOAT_EQ(subtitle.x, 220.0f);
    EXPECT_FLOAT_EQ(subtitle.y, 200.0f);

    const glm::vec2 digit = HudLayout::countdownPosition(1080, 720);
    EXPECT_FLOAT_EQ(digit.x, 444.0f);
    EXPECT_FLOAT_EQ(digit.y, 264.0f);
}

TEST(HudFontTable, MappedCharactersFindTheirCells) {
    struct Case {
        unsigned char character;
        float u;
        float v;
    };
    const Case cases[] = {
        {'0', 0.0f, 0.625f},   {'7', 0.875f, 0.625f}, {'8', 0.0f, 0.5f},     {'9', 0.125f, 0.5f},
        {':', 0.25f, 0.5f},    {' ', 0.0f, 0.875f},   {'!', 0.125f, 0.875f}, {'@', 0.0f, 0.375f},
        {'A', 0.125f, 0.375f}, {'G', 0.875f, 0.375f}, {'H', 0.0f, 0.25f},    {'O', 0.875f, 0.25f},
        {'P', 0.0f, 0.125f},   {'W', 0.875f, 0.125f}, {'X', 0.0f, 0.0f},     {'Z', 0.25f, 0.0f},
    };
    for (const Case& c : cases) {
        const glm::vec2 uv = HeadsUpDisplay::uvOffset(c.character);
        EXPECT_FLOAT_EQ(uv.x, c.u) << c.character;
        EXPECT_FLOAT_EQ(uv.y, c.v) << c.character;
    }
}

TEST(HudFontTable, EveryOtherByteShowsTheDigitZero) {
    const glm::vec2 zero = HeadsUpDisplay::uvOffset('0');
    const unsigned char others[] = {'a', 'z', '.', ',', '"', ';', '?', '[', '\0', '\n', 200};
    for (const unsigned char c : others) {
        EXPECT_EQ(HeadsUpDisplay::uvOffset(c), zero) << static_cast<int>(c);
    }
}

TEST(HudTutorialFit, WidePictureFillsTheWidthAndIsCentredVertically) {
    const HudLayout::Rect fitted = HudLayout::fitTutorial(1920, 1080, 1080, 720);
    EXPECT_FLOAT_EQ(fitted.width, 1080.0f);
    EXPECT_FLOAT_EQ(fitted.height, 607.5f);
    EXPECT_FLOAT_EQ(fitted.x, 0.0f);
    EXPECT_FLOAT_EQ(fitted.y, 56.25f);
}

TEST(HudTutorialFit, TallPictureFillsTheHeightAndIsCentredHorizontally) {
    const HudLayout::Rect fitted = HudLayout::fitTutorial(600, 800, 1080, 720);
    EXPECT_FLOAT_EQ(fitted.height, 720.0f);
    EXPECT_FLOAT_EQ(fitted.width, 540.0f);
    EXPECT_FLOAT_EQ(fitted.x, 270.0f);
    EXPECT_FLOAT_EQ(fitted.y, 0.0f);
}

TEST(HudTutorialFit, NothingToFitIntoOrFromAnEmptySize) {
    for (const HudLayout::Rect& r :
         {HudLayout::fitTutorial(1920, 1080, 1080, 0), HudLayout::fitTutorial(1920, 1080, 0, 720),
          HudLayout::fitTutorial(0, 1080, 1080, 720), HudLayout::fitTutorial(1920, 0, 1080, 720)}) {
        EXPECT_EQ(r.width, 0.0f);
        EXPECT_EQ(r.height, 0.0f);
    }
}

}  // namespace
