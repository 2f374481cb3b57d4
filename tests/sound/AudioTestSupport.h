#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// Sound tests listen to what OpenAL Soft actually mixed: its "wave" driver
// writes the mix to a WAV file in real time. OpenAL reads its configuration
// once per process, so every case runs its sound code in a child process
// with its own configuration; the test process itself never touches OpenAL.
namespace audio_test {

// A temporary directory with short test sounds made by sox and lame:
//   assets/sounds/<the game's five names>.mp3  (see kMusic... below)
//   run/       working directory of the child, so "../assets/sounds" resolves
//   empty/run/ a working directory without any sounds
//   tone660.mp3, broken.mp3, surround.wav
class SoundFiles {
public:
    // Empty root() when sox or lame is missing.
    static const SoundFiles& get();
    const std::string& root() const { return rootDir; }
    std::string path(const std::string& relative) const { return rootDir + "/" + relative; }

private:
    std::string rootDir;
};

// Music: 441 Hz sine, peak 0.5, 0.5 s long (loops visibly in a second).
// Collect: 882 Hz, peak 0.5, 0.3 s. Sad: 330 Hz, peak 0.5, 0.4 s.
inline constexpr double kMusicSeconds = 0.5;
inline constexpr double kCollectSeconds = 0.3;
inline constexpr double kSadSeconds = 0.4;
// RMS of a sine of peak 0.5.
inline constexpr double kToneRms = 0.35355;

struct ChildResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
    // "name=seconds" lines of the child's stdout, from Timeline::mark.
    std::map<std::string, double> marks;
};

// Runs body in a child process whose OpenAL writes its mix to wavPath, with
// workDir as working directory. The child's exit status is body's result.
ChildResult runWithWaveOutput(const std::string& wavPath, const std::string& workDir,
                              const std::function<int()>& body);
// The same with an output driver that does not exist: no device opens.
ChildResult runWithoutDevice(const std::string& workDir, const std::function<int()>& body);

// Wall time since construction, printed as marks for the parent to read.
class Timeline {
public:
    Timeline();
    double now() const;
    void mark(const std::string& name) const;
    void sleepUntil(double seconds) const;

private:
    double origin;
};

// The left channel of a WAV file.
struct Wave {
    int rate = 0;
    std::vector<float> samples;

    double seconds() const { return rate > 0 ? double(samples.size()) / rate : 0.0; }
    double rms(double from, double to) const;
    // Quietest RMS over windows of the given length between from and to.
    double minWindowRms(double from, double to, double window) const;
    // Time of the first sample louder than threshold, or -1.
    double firstAbove(float threshold) const;
};
Wave readWave(const std::string& path);

// How often part occurs in text.
int countOf(const std::string& text, const std::string& part);

// A fresh path for a WAV file in the test directory.
std::string newWavPath(const std::string& name);

}  // namespace audio_test
