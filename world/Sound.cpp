#include "world/Sound.h"

#include <iostream>

#include "framework/Input.h"
#include "world/SoundEngine.h"

namespace {

constexpr int kKeyFullStop = 46;
constexpr int kKeyComma = 44;
// The step is a double: the sum is formed in double and stored as float.
constexpr double kVolumeStep = 0.1;

// An effect's cue is its place in the list of game sounds.
static_assert(static_cast<std::size_t>(Sound::Cue::Collect) ==
              static_cast<std::size_t>(GameSound::Collect));
static_assert(static_cast<std::size_t>(Sound::Cue::Tick) ==
              static_cast<std::size_t>(GameSound::Tick));
static_assert(static_cast<std::size_t>(Sound::Cue::StopAll) == kSoundCount);

}  // namespace

Sound::Sound() {
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        paths[i] = gameSoundPath(static_cast<GameSound>(i));
    }
    engine = SoundEngine::create();
    if (!engine) {
        std::cerr << "Failed to create irrKlang sound engine!" << std::endl;
        return;
    }
    ++cueCounts[static_cast<std::size_t>(Cue::Music)];
    engine->play2D(paths[static_cast<std::size_t>(GameSound::Music)], true);
    engine->setSoundVolume(volume);
    // Effects are decoded now, after the music has started, so that the
    // first ring of the run sounds at once.
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        if (static_cast<GameSound>(i) != GameSound::Music) {
            engine->preload(paths[i]);
        }
    }
}

Sound::~Sound() = default;

void Sound::play(Cue cue) {
    const std::size_t index = static_cast<std::size_t>(cue);
    ++cueCounts[index];
    if (engine) {
        engine->play2D(paths[index], false);
    }
}

void Sound::playCollectSound() {
    play(Cue::Collect);
}

void Sound::playCollideSound() {
    play(Cue::Collide);
}

void Sound::playSadSound() {
    play(Cue::Sad);
}

void Sound::playWinSound() {
    play(Cue::Win);
}

void Sound::playTickSound() {
    play(Cue::Tick);
}

void Sound::stopAll() {
    ++cueCounts[static_cast<std::size_t>(Cue::StopAll)];
    if (engine) {
        engine->stopAllSounds();
    }
}

void Sound::update() {
    if (!engine) {
        return;
    }
    engine->service();
    // Not clamped: the engine plays values below 0 as silence and passes
    // values above 1 on as amplification.
    if (Input::wasPressed(kKeyFullStop)) {
        volume = static_cast<float>(volume + kVolumeStep);
        engine->setSoundVolume(volume);
    }
    if (Input::wasPressed(kKeyComma)) {
        volume = static_cast<float>(volume - kVolumeStep);
        engine->setSoundVolume(volume);
    }
}
