#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "world/GameSounds.h"

class SoundEngine;

inline constexpr std::size_t kSoundCount = static_cast<std::size_t>(GameSound::Count);

// The game's music and effects. Music starts looped as soon as a Sound
// exists; each Sound owns its own engine with its own master volume. With no
// audio device every operation does nothing and the game runs silently.
class Sound {
  public:
    Sound();
    ~Sound();

    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void playCollectSound();
    void playCollideSound();
    void playSadSound();
    void playWinSound();
    void playTickSound();
    void stopAll();
    // Once a frame: full stop raises and comma lowers the volume by 0.1 (not
    // clamped), and where the engine has no thread of its own its streams
    // are refilled.
    void update();

    float getVolume() const { return volume; }
    bool hasEngine() const { return engine != nullptr; }

    // What the game asked for, counted whether or not a device plays it, so
    // the rules can be checked on a machine without sound.
    enum class Cue : std::size_t { Music, Collect, Collide, Sad, Win, Tick, StopAll, Count };
    int getCueCount(Cue cue) const { return cueCounts[static_cast<std::size_t>(cue)]; }

  private:
    // Each effect's cue is its sound's place in the list of game sounds.
    void play(Cue cue);

    std::unique_ptr<SoundEngine> engine;
    float volume = 0.5f;
    std::array<std::string, kSoundCount> paths;
    std::array<int, static_cast<std::size_t>(Cue::Count)> cueCounts{};
};
