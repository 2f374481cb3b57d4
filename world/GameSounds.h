#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The game's sound files, one list: the sound player plays and preloads
// them, the asset generator makes each of them (tools/assetgen/sounds.py
// reads the names from this file) and the tests check every one. A new
// sound is one more line here and one more maker in the generator.
enum class GameSound : std::size_t { Music, Collect, Collide, Sad, Win, Tick, Count };

inline constexpr std::array<std::string_view, static_cast<std::size_t>(GameSound::Count)>
    kGameSoundFiles = {
        "ancient-wind.mp3",        // Music: the night flight, looped
        "collectcoin_longer.mp3",  // Collect: a ring flown through
        "collide3.mp3",            // Collide: ground, water or wall touched
        "sad-lomar.mp3",           // Sad: the time is up
        "win1.mp3",                // Win: the goal reached
        "tick.mp3",                // Tick: each of a run's last ten seconds
};

// The path the game opens, relative to its working directory.
inline std::string gameSoundPath(GameSound sound) {
    return "../assets/sounds/" + std::string(kGameSoundFiles[static_cast<std::size_t>(sound)]);
}
