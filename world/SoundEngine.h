#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// The context's struct tag differs between OpenAL Soft versions (1.19 and
// 1.24 name it differently), so the header names the type through its typedef.
#include <AL/alc.h>

class SharedAudioDevice;

// Keeps the output device open while it lives, opened on a thread of its
// own: the search for a device (a tenth of a second or more where there is
// none) runs beside the window's creation, and every engine made meanwhile,
// a restart's included, shares the open device instead of opening it again.
// Where there is none, they find none without searching again.
class AudioDeviceHold {
  public:
    AudioDeviceHold();
    ~AudioDeviceHold();
    AudioDeviceHold(const AudioDeviceHold&) = delete;
    AudioDeviceHold& operator=(const AudioDeviceHold&) = delete;

  private:
    std::shared_ptr<SharedAudioDevice> device;
    std::thread opener;
};

// A small 2D sound engine over OpenAL Soft: looped or one-shot playback of
// sound files, a master volume, stop-all. Each engine has an OpenAL context
// of its own on the process's one output device, so several engines mix,
// each with its own volume. Long sounds stream from a service thread of
// the engine; preloaded ones play from memory at once. Call it from one
// thread only (the service thread is internal).
class SoundEngine {
  public:
    // Null when no audio device can be opened (OpenAL reports why).
    static std::unique_ptr<SoundEngine> create();

    // Stops every sound of this engine, then releases its context.
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Decodes a short sound now, so that play2D starts it without a hitch.
    // A file that cannot be decoded is reported here once and never played.
    void preload(const std::string& path);

    // Starts a sound on top of whatever plays. A missing or undecodable file
    // plays nothing. Looped sounds loop without a gap until stopped.
    void play2D(const std::string& path, bool looped);
    void stopAllSounds();

    // Refills the streams where the engine has no service thread (in a
    // browser, which has no threads); does nothing otherwise. Once a frame.
    void service();

    // Master volume: below 0 (or NaN) is silence, above 1 amplifies.
    void setSoundVolume(float volume);
    float getSoundVolume() const { return masterVolume; }

    // Sounds started and not yet finished or stopped.
    std::size_t getPlayingCount();

    // How many times this process has opened the output device.
    static int devicesOpened();

  private:
    struct Voice;
    struct Token {
        explicit Token() = default;
    };

  public:
    SoundEngine(Token, std::shared_ptr<SharedAudioDevice> device, ALCcontext* context,
                bool perThreadContext);

  private:
    // This thread's context where contexts are per thread, else the
    // process's.
    static void selectContext(bool perThread, ALCcontext* context);
    void makeCurrent() const;
    void serviceLoop();
    // Primes new streams, refills played buffers, restarts a starved stream
    // and frees finished voices. Runs on the service thread with the lock.
    void serviceVoices();
    void serviceStream(Voice& voice);
    // Takes `count` blocks off the head of the stream's queue and queues
    // them again with the next stretch of the file (while there is one).
    void refillHead(Voice& voice, int count);
    bool fillStreamBuffer(Voice& voice, unsigned int buffer);
    void destroyVoice(Voice& voice);
    void stopAllLocked();

    std::shared_ptr<SharedAudioDevice> device;
    ALCcontext* context = nullptr;
    bool perThreadContext = true;
    float masterVolume = 1.0f;

    // Decoded effects by path; 0 marks a file that failed to decode.
    std::unordered_map<std::string, unsigned int> preloaded;

    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::vector<std::unique_ptr<Voice>> voices;
    // Decoding scratch of the service thread.
    std::vector<float> streamScratch;
    std::thread serviceThread;
};
