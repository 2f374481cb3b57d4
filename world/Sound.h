#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

class SoundEngine;

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
    void stopAll();
    // Full stop raises and comma lowers the volume by 0.1 (not clamped).
    void update();

    float getVolume() const { return volume; }
    bool hasEngine() const { return engine != nullptr; }

    // What the game asked for, counted whether or not a device plays it, so
    // the rules can be checked on a machine without sound.
    enum class Cue : std::size_t { Music, Collect, Collide, Sad, Win, StopAll, Count };
    int getCueCount(Cue cue) const { return cueCounts[static_cast<std::size_t>(cue)]; }

  private:
    void play(const std::string& path, Cue cue);

    std::unique_ptr<SoundEngine> engine;
    float volume = 0.5f;
    std::string backgroundMusicPath = "../assets/sounds/ancient-wind.mp3";
    std::string collectSoundPath = "../assets/sounds/collectcoin_longer.mp3";
    std::string collideSoundPath = "../assets/sounds/collide3.mp3";
    std::string sadSoundPath = "../assets/sounds/sad-lomar.mp3";
    std::string winSoundPath = "../assets/sounds/win1.mp3";
    std::array<int, static_cast<std::size_t>(Cue::Count)> cueCounts{};
};
