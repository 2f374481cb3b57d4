#include "AudioTestSupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <sndfile.h>

namespace audio_test {
namespace {

// A child stuck in the sound engine must fail the test, not hang it.
constexpr unsigned kChildAlarmSeconds = 30;
// The wave driver's output as configured below.
constexpr double kWaveHeaderBytes = 68.0;
constexpr double kWaveFrameBytes = 8.0;
constexpr double kWaveRate = 44100.0;

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A sine tone of peak 0.5 as MP3; lame's gapless header lets it loop cleanly.
bool makeTone(const std::string& dir, const std::string& file, double seconds, int hertz,
              int channels = 2) {
    const std::string wav = dir + "/tone.tmp.wav";
    return run("sox -n -r 44100 -c " + std::to_string(channels) + " '" + wav + "' synth " +
               std::to_string(seconds) + " sine " + std::to_string(hertz) + " vol 0.5") &&
           run("lame --quiet '" + wav + "' '" + dir + "/" + file + "'") &&
           run("rm -f '" + wav + "'");
}

std::map<std::string, double> parseMarks(const std::string& text) {
    std::map<std::string, double> marks;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        try {
            marks[line.substr(0, equals)] = std::stod(line.substr(equals + 1));
        } catch (const std::exception&) {
        }
    }
    return marks;
}

ChildResult runChild(const std::string& alsoftConf, const std::string& workDir,
                     const std::function<int()>& body) {
    static int childCount = 0;
    const std::string base = SoundFiles::get().root() + "/child" + std::to_string(++childCount);
    const std::string confPath = base + ".conf";
    const std::string outPath = base + ".out";
    const std::string errPath = base + ".err";
    writeFile(confPath, alsoftConf);

    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        alarm(kChildAlarmSeconds);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        setenv("ALSOFT_CONF", confPath.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        int code = 98;
        if (chdir(workDir.c_str()) == 0) {
            try {
                code = body();
            } catch (...) {
                code = 99;
            }
        }
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        _exit(code);
    }
    ChildResult result;
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    result.marks = parseMarks(result.out);
    return result;
}

}  // namespace

const SoundFiles& SoundFiles::get() {
    static const SoundFiles files = [] {
        SoundFiles made;
        if (!run("command -v sox >/dev/null 2>&1 && command -v lame >/dev/null 2>&1")) {
            return made;
        }
        char pattern[] = "/tmp/veltra-sound-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return made;
        }
        const std::string root = pattern;
        const std::string sounds = root + "/assets/sounds";
        bool ok = run("mkdir -p '" + sounds + "' '" + root + "/run' '" + root + "/empty/run'") &&
                  makeTone(sounds, "ancient-wind.mp3", kMusicSeconds, 441) &&
                  makeTone(sounds, "collectcoin_longer.mp3", kCollectSeconds, 882) &&
                  makeTone(sounds, "collide3.mp3", 0.2, 1323) &&
                  makeTone(sounds, "sad-lomar.mp3", kSadSeconds, 330) &&
                  makeTone(sounds, "win1.mp3", 0.2, 1764) &&
                  makeTone(sounds, "tick.mp3", kTickSeconds, 2205) &&
                  makeTone(root, "tone660.mp3", 0.5, 660) &&
                  makeTone(root, "mono.mp3", 0.25, 441, 1) &&
                  run("sox -n -r 44100 -c 6 '" + root + "/surround.wav' synth 0.1 sine 441");
        writeFile(root + "/broken.mp3", std::string(4096, '\x5a'));
        if (ok) {
            made.rootDir = root;
        }
        // Children leave with _exit, so only the test process itself cleans up.
        static std::string madeRoot;
        madeRoot = root;
        std::atexit([] { run("rm -rf '" + madeRoot + "'"); });
        return made;
    }();
    return files;
}

ChildResult runWithWaveOutput(const std::string& wavPath, const std::string& workDir,
                              const std::function<int()>& body) {
    return runChild(
        "[general]\ndrivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=float32\n"
        "[wave]\nfile=" +
            wavPath + "\n",
        workDir, body);
}

ChildResult runWithoutDevice(const std::string& workDir, const std::function<int()>& body) {
    return runChild("[general]\ndrivers=no-such-driver\n", workDir, body);
}

double MixClock::now() const {
    std::ifstream file(wavPath, std::ios::binary | std::ios::ate);
    if (!file.is_open()) {
        return 0.0;
    }
    const double bytes = static_cast<double>(file.tellg()) - kWaveHeaderBytes;
    return std::max(0.0, bytes / kWaveFrameBytes / kWaveRate);
}

void MixClock::mark(const std::string& name) const {
    std::cout << name << "=" << now() << std::endl;
}

void MixClock::waitUntil(double seconds) const {
    while (now() < seconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

double MixClock::waitUntilHeard(double limit) const {
    std::streamoff scanned = 0;  // frames looked at so far
    for (;;) {
        // The mix is left first, right second, in 32-bit floats.
        std::ifstream file(wavPath, std::ios::binary);
        file.seekg(static_cast<std::streamoff>(kWaveHeaderBytes) +
                   scanned * static_cast<std::streamoff>(kWaveFrameBytes));
        float frame[2] = {};
        while (file && file.read(reinterpret_cast<char*>(frame), sizeof frame)) {
            if (std::fabs(frame[0]) > kHeardLevel) {
                return static_cast<double>(scanned) / kWaveRate;
            }
            ++scanned;
        }
        if (now() > limit) {
            return -1.0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

double Wave::rms(double from, double to) const {
    auto first = static_cast<std::size_t>(std::max(0.0, from) * rate);
    auto last = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
    if (last <= first) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return std::sqrt(sum / double(last - first));
}

double Wave::minWindowRms(double from, double to, double window) const {
    double quietest = 1e9;
    for (double t = from; t + window <= to; t += window) {
        quietest = std::min(quietest, rms(t, t + window));
    }
    return quietest;
}

double Wave::firstAbove(float threshold) const {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > threshold) {
            return double(i) / rate;
        }
    }
    return -1.0;
}

Wave readWave(const std::string& path) {
    Wave wave;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr || info.channels < 1) {
        if (file != nullptr) {
            sf_close(file);
        }
        return wave;
    }
    wave.rate = info.samplerate;
    std::vector<float> block(4096 * static_cast<std::size_t>(info.channels));
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < got; ++i) {
            wave.samples.push_back(block[static_cast<std::size_t>(i * info.channels)]);
        }
    }
    sf_close(file);
    return wave;
}

std::string describe(const ChildResult& child) {
    std::ostringstream text;
    text << "child exit " << child.exitCode << " after " << child.seconds << " s\nstdout:\n"
         << child.out << "stderr:\n"
         << child.err;
    return text.str();
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::string newWavPath(const std::string& name) {
    return SoundFiles::get().root() + "/" + name + ".wav";
}

}  // namespace audio_test
