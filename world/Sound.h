#pragma once

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

private:
    std::unique_ptr<SoundEngine> engine;
    float volume = 0.5f;
    std::string backgroundMusicPath = "../assets/sounds/ancient-wind.mp3";
    std::string collectSoundPath = "../assets/sounds/collectcoin_longer.mp3";
    std::string collideSoundPath = "../assets/sounds/collide3.mp3";
    std::string sadSoundPath = "../assets/sounds/sad-lomar.mp3";
    std::string winSoundPath = "../assets/sounds/win1.mp3";
};
