#pragma once

#include <cstddef>

#include <glm/glm.hpp>

// The HUD's text formats and placement maths, free of OpenGL so they can be
// checked without a window. Positions are window pixels, origin bottom left.
namespace HudLayout {

// One glyph cell is 32 pixels at scale 1.
inline constexpr float glyphSize = 32.0f;

// "MM:SS" of the whole seconds left; the buffer must hold 6 bytes.
void formatTimer(float timeLeft, char (&buffer)[6]);
// The whole points as "%04d"; a fifth digit does not fit the 5-byte buffer.
void formatScore(float score, char (&buffer)[5]);
// "FPS: " and the rate rounded to a whole number.
void formatFps(float fps, char (&buffer)[16]);

// The digit shown during the countdown: the seconds left rounded up.
char countdownDigit(float countdown);

// Lower-left corner of the big centred title of `length` characters (scale 3).
glm::vec2 titlePosition(std::size_t length, float width, float height);
// The restart hint near the top of the window (scale 0.7).
glm::vec2 restartHintPosition(std::size_t length, float width, float height);
// The subtitle under the title (scale 2).
glm::vec2 subtitlePosition(std::size_t length, float width, float height);
// The best run on the start screen, centred along the bottom edge below
// the tutorial picture's texts (scale 0.75).
glm::vec2 bestRunPosition(std::size_t length, float width);
// A won run's place among the best runs, centred under the subtitle
// (scale 1.5).
glm::vec2 recordPosition(std::size_t length, float width, float height);
// The timer's tint: white, but for a run's last ten seconds (the timer
// shows 00:09 to 00:00), when it turns the warning colour and pulses once a
// second, brightest as each second begins; held at its brightest while the
// game is paused.
glm::vec3 timerTint(float timeLeft, bool playing, bool paused);
// The countdown digit in the middle of the window (scale 6).
glm::vec2 countdownPosition(float width, float height);

// Lower-left texture coordinate of a character's cell in the 8 by 8 font
// sheet (loaded flipped, so v = 0 is the bottom row). Bytes the sheet is not
// used for show the digit 0.
glm::vec2 glyphUvOffset(unsigned char character);

// The tutorial picture fitted inside the window with its aspect ratio kept
// and centred. Empty (all zero) when either size is not positive.
struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};
Rect fitTutorial(int imageWidth, int imageHeight, int windowWidth, int windowHeight);

}  // namespace HudLayout
