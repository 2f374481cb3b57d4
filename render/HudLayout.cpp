#include "render/HudLayout.h"

#include <cmath>
#include <cstdio>

namespace HudLayout {
namespace {

// Truncates towards zero like a plain cast, but a value outside the int
// range (or NaN) cannot make the conversion undefined.
int truncateToInt(float value, int low, int high) {
    if (!(value >= static_cast<float>(low))) {
        return low;
    }
    if (value >= static_cast<float>(high)) {
        return high;
    }
    return static_cast<int>(value);
}

// snprintf truncates what does not fit; the result is always terminated.
template <std::size_t N, typename... Args>
void writeInto(char (&buffer)[N], const char* format, Args... args) {
    if (std::snprintf(buffer, N, format, args...) < 0) {
        buffer[0] = '\0';
    }
}

}  // namespace

void formatTimer(float timeLeft, char (&buffer)[6]) {
    const int seconds = truncateToInt(timeLeft, 0, 99 * 60 + 59);
    writeInto(buffer, "%02d:%02d", seconds / 60, seconds % 60);
}

void formatScore(float score, char (&buffer)[5]) {
    writeInto(buffer, "%04d", truncateToInt(score, 0, 99999999));
}

void formatFps(float fps, char (&buffer)[16]) {
    writeInto(buffer, "FPS: %.0f", static_cast<double>(fps));
}

char countdownDigit(float countdown) {
    const int seconds = truncateToInt(std::ceil(countdown), 0, 9);
    return static_cast<char>('0' + seconds);
}

glm::vec2 titlePosition(std::size_t length, float width, float height) {
    const float cell = glyphSize * 3.0f;
    return {(width - static_cast<float>(length) * cell) / 2.0f, (height - cell) / 2.0f};
}

glm::vec2 restartHintPosition(std::size_t length, float width, float height) {
    const float cell = glyphSize * 0.7f;
    return {(width - static_cast<float>(length) * cell) / 2.0f, height - 110.0f};
}

glm::vec2 subtitlePosition(std::size_t length, float width, float height) {
    const float cell = glyphSize * 2.0f;
    return {(width - static_cast<float>(length) * cell) / 2.0f, (height - cell) / 2.0f - 128.0f};
}

glm::vec2 bestRunPosition(std::size_t length, float width) {
    const float cell = glyphSize * 0.75f;
    return {(width - static_cast<float>(length) * cell) / 2.0f, 10.0f};
}

glm::vec2 recordPosition(std::size_t length, float width, float height) {
    const float cell = glyphSize * 1.5f;
    const glm::vec2 subtitle = subtitlePosition(0, width, height);
    return {(width - static_cast<float>(length) * cell) / 2.0f, subtitle.y - cell - 32.0f};
}

glm::vec3 timerTint(float timeLeft, bool playing, bool paused) {
    constexpr float kWarningSeconds = 10.0f;
    const glm::vec3 warning(1.0f, 0.32f, 0.22f);
    if (!playing || !(timeLeft > 0.0f) || timeLeft >= kWarningSeconds) {
        return glm::vec3(1.0f);
    }
    // The part of the shown second still to run: near 1 as it begins.
    const float pulse = paused ? 1.0f : timeLeft - std::floor(timeLeft);
    return warning * (0.65f + 0.35f * pulse);
}

glm::vec2 countdownPosition(float width, float height) {
    const float cell = glyphSize * 6.0f;
    return {(width - cell) / 2.0f, (height - cell) / 2.0f};
}

glm::vec2 glyphUvOffset(unsigned char character) {
    // Row r from the top holds the codes 32 + 8r to 39 + 8r; the sheet is
    // flipped on load, so row r starts at v = 0.875 - 0.125r.
    const bool mapped = character == ' ' || character == '!' ||
                        (character >= '0' && character <= ':') ||
                        (character >= '@' && character <= 'Z');
    if (!mapped) {
        character = '0';
    }
    const int cell = character - 32;
    const int row = cell / 8;
    const int column = cell % 8;
    return {static_cast<float>(column) * 0.125f, 0.875f - static_cast<float>(row) * 0.125f};
}

Rect fitTutorial(int imageWidth, int imageHeight, int windowWidth, int windowHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        return {};
    }
    const float aspect = static_cast<float>(imageWidth) / static_cast<float>(imageHeight);
    const float width = static_cast<float>(windowWidth);
    const float height = static_cast<float>(windowHeight);
    Rect fitted;
    if (width / height >= aspect) {
        fitted.height = height;
        fitted.width = height * aspect;
    } else {
        fitted.width = width;
        fitted.height = width / aspect;
    }
    fitted.x = (width - fitted.width) / 2.0f;
    fitted.y = (height - fitted.height) / 2.0f;
    return fitted;
}

}  // namespace HudLayout
