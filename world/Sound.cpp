#include "world/Sound.h"

#include <iostream>

#include "framework/Input.h"
#include "world/SoundEngine.h"

namespace {

constexpr int kKeyFullStop = 46;
constexpr int kKeyComma = 44;
// The step is a double: the sum is formed in double and stored as float.
constexpr double kVolumeStep = 0.1;

}  // namespace

Sound::Sound() {
    engine = SoundEngine::create();
    if (!engine) {
        std::cerr << "Failed to create irrKlang sound engine!" << std::endl;
        return;
    }
    ++cueCounts[static_cast<std::size_t>(Cue::Music)];
    engine->play2D(backgroundMusicPath, true);
    engine->setSoundVolume(volume);
    // Effects are decoded now, after the music has started, so that the
    // first ring of the run sounds at once.
    for (const std::string* path :
         {&collectSoundPath, &collideSoundPath, &sadSoundPath, &winSoundPath}) {
        engine->preload(*path);
    }
}

Sound::~Sound() = default;

void Sound::play(const std::string& path, Cue cue) {
    ++cueCounts[static_cast<std::size_t>(cue)];
    if (engine) {
        engine->play2D(path, false);
    }
}

void Sound::playCollectSound() {
    play(collectSoundPath, Cue::Collect);
}

void Sound::playCollideSound() {
    play(collideSoundPath, Cue::Collide);
}

void Sound::playSadSound() {
    play(sadSoundPath, Cue::Sad);
}

void Sound::playWinSound() {
    play(winSoundPath, Cue::Win);
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
