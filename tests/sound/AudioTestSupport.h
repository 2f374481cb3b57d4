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
inline constexpr double kTickSeconds = 0.2;
// RMS of a sine of peak 0.5.
inline constexpr double kToneRms = 0.35355;

struct ChildResult {
    int exitCode = -1;     // -1 when the child did not exit normally
    double seconds = 0.0;  // wall time the child ran
    std::string out;
    std::string err;
    // "name=seconds" lines of the child's stdout, from MixClock::mark.
    std::map<std::string, double> marks;
};

// Runs body in a child process whose OpenAL writes its mix to wavPath, with
// workDir as working directory. The child's exit status is body's result.
ChildResult runWithWaveOutput(const std::string& wavPath, const std::string& workDir,
                              const std::function<int()>& body);
// The same with an output driver that does not exist: no device opens.
ChildResult runWithoutDevice(const std::string& workDir, const std::function<int()>& body);

// For the child: how far the mix has got, read from the size of the WAV
// file the wave driver is writing (44.1 kHz stereo float after a 68-byte
// header). The driver mixes in real time but catches up in bursts when the
// machine is busy, so the child paces itself and marks its actions by this
// clock rather than by the wall clock: a mark at t means that everything
// in the WAV from t + one mixer block on was mixed after the action.
class MixClock {
  public:
    explicit MixClock(std::string wavPath) : wavPath(std::move(wavPath)) {}
    double now() const;
    void mark(const std::string& name) const;
    // Waits until the mix reaches the given time (0 while no device is open).
    void waitUntil(double seconds) const;
    // Waits until the mix holds a sample louder than kHeardLevel and returns
    // its time, or -1 once the mix passes `limit` seconds without one. A
    // loaded machine starts the music later: actions are timed from here.
    double waitUntilHeard(double limit) const;

  private:
    std::string wavPath;
};

// A sample louder than this is sound, not silence.
inline constexpr float kHeardLevel = 0.01f;

// One mixer block of OpenAL Soft (1024 frames) and some slack: how long an
// action may take to show in the WAV after its mark.
inline constexpr double kBlockSeconds = 0.04;

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

// Why a child result is not usable, for failure messages.
std::string describe(const ChildResult& child);

// A fresh path for a WAV file in the test directory.
std::string newWavPath(const std::string& name);

}  // namespace audio_test
