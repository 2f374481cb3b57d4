#include "world/SoundEngine.h"

#include <array>
#include <chrono>
#include <cmath>
#include <iostream>
#include <system_error>

#include <AL/al.h>
#include <AL/alc.h>
#if __has_include(<AL/alext.h>)
#include <AL/alext.h>
#else
// A browser's OpenAL has no extension header; these are the values OpenAL
// Soft's header gives them.
#define AL_FORMAT_MONO_FLOAT32 0x10010
#define AL_FORMAT_STEREO_FLOAT32 0x10011
#define AL_DIRECT_CHANNELS_SOFT 0x1033
using PFNALCSETTHREADCONTEXTPROC = ALCboolean (*)(ALCcontext* context);
#endif

#include "framework/Platform.h"
#include "world/AudioFile.h"

namespace {

// Eight blocks of 8192 frames keep about 1.5 s queued at 44.1 kHz. Four
// (0.7 s) once ran dry on a loaded two-core machine: a process held off the
// CPU that long comes back to a mixer that catches up in a burst, faster
// than the service thread's 10 ms rounds refill.
constexpr std::size_t kStreamBuffers = 8;
constexpr std::size_t kStreamFrames = 8192;
constexpr auto kServicePeriod = std::chrono::milliseconds(10);
// Effects longer than this stream instead of sitting in memory.
constexpr float kMaxPreloadSeconds = 30.0f;

ALenum floatFormat(int channels) {
    return channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
}

// OpenAL's current context is process-wide; each engine (and its service
// thread) selects its own per thread instead, so engines never race.
PFNALCSETTHREADCONTEXTPROC threadContextFunction() {
    static const auto function = reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(
        alcGetProcAddress(nullptr, "alcSetThreadContext"));
    return function;
}

}  // namespace

namespace {

std::mutex deviceMutex;
std::weak_ptr<SharedAudioDevice> currentDevice;
int deviceHolds = 0;
// Whether the device was looked for while a hold lived: then a missing one
// is not looked for again.
bool searchedWhileHeld = false;
int openings = 0;

}  // namespace

// The output device, opened once and shared by every live engine: their
// contexts mix into the same output. Closed when the last engine (or hold)
// goes.
class SharedAudioDevice {
  public:
    explicit SharedAudioDevice(ALCdevice* device) : device(device) {}
    ~SharedAudioDevice() { alcCloseDevice(device); }
    SharedAudioDevice(const SharedAudioDevice&) = delete;
    SharedAudioDevice& operator=(const SharedAudioDevice&) = delete;

    ALCdevice* get() const { return device; }

    static std::shared_ptr<SharedAudioDevice> acquire() {
        std::lock_guard<std::mutex> lock(deviceMutex);
        if (auto existing = currentDevice.lock()) {
            return existing;
        }
        if (deviceHolds > 0 && searchedWhileHeld) {
            return nullptr;
        }
        searchedWhileHeld = deviceHolds > 0;
        // Without a sound device the game says so in one line of its own;
        // ALSA's lines about each card OpenAL tried would only bury it.
        platform::quietSoundLibraries();
        ALCdevice* opened = alcOpenDevice(nullptr);
        if (opened == nullptr) {
            return nullptr;
        }
        ++openings;
        auto shared = std::make_shared<SharedAudioDevice>(opened);
        currentDevice = shared;
        return shared;
    }

  private:
    ALCdevice* device;
};

AudioDeviceHold::AudioDeviceHold() {
    {
        std::lock_guard<std::mutex> lock(deviceMutex);
        if (deviceHolds++ == 0) {
            searchedWhileHeld = false;
        }
    }
    try {
        opener = std::thread([this] { device = SharedAudioDevice::acquire(); });
    } catch (const std::system_error&) {
        // No threads (a browser): looked for now.
        device = SharedAudioDevice::acquire();
    }
}

AudioDeviceHold::~AudioDeviceHold() {
    if (opener.joinable()) {
        opener.join();
    }
    std::lock_guard<std::mutex> lock(deviceMutex);
    --deviceHolds;
}

int SoundEngine::devicesOpened() {
    std::lock_guard<std::mutex> lock(deviceMutex);
    return openings;
}

struct SoundEngine::Voice {
    ALuint source = 0;
    // Null for a preloaded sound, which plays from one buffer.
    std::unique_ptr<AudioFile> stream;
    std::array<ALuint, kStreamBuffers> buffers{};
    bool looped = false;
    bool primed = false;
    bool endOfStream = false;
};

std::unique_ptr<SoundEngine> SoundEngine::create() {
    std::shared_ptr<SharedAudioDevice> device = SharedAudioDevice::acquire();
    if (!device) {
        return nullptr;
    }
    // Without per-thread contexts (a browser's OpenAL) the engine selects
    // its context for the whole process and has no service thread: its
    // caller's thread is the only one.
    const bool perThread =
        alcIsExtensionPresent(device->get(), "ALC_EXT_thread_local_context") == ALC_TRUE &&
        threadContextFunction() != nullptr;
    ALCcontext* context = alcCreateContext(device->get(), nullptr);
    if (context == nullptr) {
        std::cerr << "Failed to create an audio context on the output device" << std::endl;
        return nullptr;
    }
    selectContext(perThread, context);
    // OpenAL Soft compares the name without case, a browser's OpenAL with.
    if (!alIsExtensionPresent("AL_EXT_float32")) {
        std::cerr << "Audio device cannot play float samples; sound is off" << std::endl;
        selectContext(perThread, nullptr);
        alcDestroyContext(context);
        return nullptr;
    }
    return std::make_unique<SoundEngine>(Token{}, std::move(device), context, perThread);
}

SoundEngine::SoundEngine(Token, std::shared_ptr<SharedAudioDevice> device, ALCcontext* context,
                         bool perThreadContext)
    : device(std::move(device)), context(context), perThreadContext(perThreadContext) {
    makeCurrent();
    alListenerf(AL_GAIN, masterVolume);
    streamScratch.resize(kStreamFrames * AudioFile::kMaxChannels);
    if (!perThreadContext) {
        return;
    }
    try {
        serviceThread = std::thread([this] { serviceLoop(); });
    } catch (const std::system_error&) {
        // No threads to be had: service() refills the streams.
    }
}

void SoundEngine::selectContext(bool perThread, ALCcontext* context) {
    if (perThread) {
        threadContextFunction()(context);
    } else {
        alcMakeContextCurrent(context);
    }
}

void SoundEngine::service() {
    if (serviceThread.joinable()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    makeCurrent();
    serviceVoices();
}

SoundEngine::~SoundEngine() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (serviceThread.joinable()) {
        serviceThread.join();
    }
    makeCurrent();
    stopAllLocked();
    for (auto& [path, buffer] : preloaded) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
        }
    }
    selectContext(perThreadContext, nullptr);
    alcDestroyContext(context);
}

void SoundEngine::makeCurrent() const {
    selectContext(perThreadContext, context);
}

void SoundEngine::preload(const std::string& path) {
    if (preloaded.count(path) != 0) {
        return;
    }
    std::vector<float> samples;
    int channels = 0;
    int rate = 0;
    AudioFile::Decoded result =
        AudioFile::decodeAll(path, kMaxPreloadSeconds, samples, channels, rate);
    if (result == AudioFile::Decoded::TooLong) {
        return;  // left to streaming
    }
    ALuint buffer = 0;
    if (result == AudioFile::Decoded::Whole && !samples.empty()) {
        makeCurrent();
        alGetError();
        alGenBuffers(1, &buffer);
        alBufferData(buffer, floatFormat(channels), samples.data(),
                     static_cast<ALsizei>(samples.size() * sizeof(float)), rate);
        if (alGetError() != AL_NO_ERROR) {
            std::cerr << "Failed to load sound into the audio device: " << path << std::endl;
            alDeleteBuffers(1, &buffer);
            buffer = 0;
        }
    }
    preloaded[path] = buffer;
}

void SoundEngine::play2D(const std::string& path, bool looped) {
    auto voice = std::make_unique<Voice>();
    voice->looped = looped;
    ALuint preloadedBuffer = 0;
    if (auto it = preloaded.find(path); it != preloaded.end()) {
        if (it->second == 0) {
            return;  // reported when it was preloaded
        }
        preloadedBuffer = it->second;
    } else {
        voice->stream = AudioFile::open(path);
        if (!voice->stream) {
            return;
        }
    }

    makeCurrent();
    alGetError();
    alGenSources(1, &voice->source);
    if (alGetError() != AL_NO_ERROR) {
        std::cerr << "No free audio voice for " << path << std::endl;
        return;
    }
    // Plain stereo playback: no distance, no panning of the file's channels.
    alSourcei(voice->source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(voice->source, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels")) {
        alSourcei(voice->source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }

    if (preloadedBuffer != 0) {
        alSourcei(voice->source, AL_BUFFER, static_cast<ALint>(preloadedBuffer));
        alSourcei(voice->source, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
        alSourcePlay(voice->source);
        voice->primed = true;
    } else {
        alGenBuffers(static_cast<ALsizei>(kStreamBuffers), voice->buffers.data());
        if (alGetError() != AL_NO_ERROR) {
            std::cerr << "No free audio buffers for " << path << std::endl;
            voice->buffers.fill(0);
            destroyVoice(*voice);
            return;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        voices.push_back(std::move(voice));
    }
    // The service thread decodes the first block and starts the stream, so
    // the caller never waits for the decoder; without one, it starts now.
    wake.notify_all();
    service();
}

void SoundEngine::stopAllSounds() {
    std::lock_guard<std::mutex> lock(mutex);
    makeCurrent();
    stopAllLocked();
}

void SoundEngine::setSoundVolume(float volume) {
    masterVolume = volume;
    // OpenAL refuses negative or non-finite gains; those mean silence here.
    float gain = std::isfinite(volume) && volume > 0.0f ? volume : 0.0f;
    makeCurrent();
    alListenerf(AL_GAIN, gain);
}

std::size_t SoundEngine::getPlayingCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return voices.size();
}

void SoundEngine::stopAllLocked() {
    for (auto& voice : voices) {
        destroyVoice(*voice);
    }
    voices.clear();
}

void SoundEngine::destroyVoice(Voice& voice) {
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);
    alDeleteSources(1, &voice.source);
    if (voice.buffers[0] != 0) {
        alDeleteBuffers(static_cast<ALsizei>(kStreamBuffers), voice.buffers.data());
    }
    voice.source = 0;
    voice.buffers.fill(0);
}

void SoundEngine::serviceLoop() {
    makeCurrent();
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        serviceVoices();
        wake.wait_for(lock, kServicePeriod);
    }
    threadContextFunction()(nullptr);
}

void SoundEngine::serviceStream(Voice& voice) {
    if (!voice.primed) {
        voice.primed = true;
        // Every block is queued before the source starts, so the source
        // cannot run dry while it is primed (see below for why that matters).
        ALsizei filled = 0;
        while (filled < static_cast<ALsizei>(kStreamBuffers) && !voice.endOfStream &&
               fillStreamBuffer(voice, voice.buffers[static_cast<std::size_t>(filled)])) {
            ++filled;
        }
        if (filled > 0) {
            alSourceQueueBuffers(voice.source, filled, voice.buffers.data());
            alSourcePlay(voice.source);
        }
        return;
    }
    // The queue is ours alone, so its length read here still holds below.
    ALint queued = 0;
    ALint processed = 0;
    alGetSourcei(voice.source, AL_BUFFERS_QUEUED, &queued);
    alGetSourcei(voice.source, AL_BUFFERS_PROCESSED, &processed);
    refillHead(voice, processed);
    ALint state = 0;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) {
        return;
    }
    // The stream ran dry on a busy machine. A source stops only after it
    // has played every block queued before it stopped, so the blocks that
    // were still queued ahead of this round's refills have been heard too;
    // restarting with them would repeat them. (A stopped source counts all
    // of its blocks as processed, which cannot tell old from new.)
    refillHead(voice, queued - processed);
    ALint left = 0;
    alGetSourcei(voice.source, AL_BUFFERS_QUEUED, &left);
    if (left > 0) {
        alSourcePlay(voice.source);
    }
}

void SoundEngine::refillHead(Voice& voice, int count) {
    for (; count > 0; --count) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(voice.source, 1, &buffer);
        if (!voice.endOfStream && fillStreamBuffer(voice, buffer)) {
            alSourceQueueBuffers(voice.source, 1, &buffer);
        }
    }
}

bool SoundEngine::fillStreamBuffer(Voice& voice, ALuint buffer) {
    AudioFile& file = *voice.stream;
    const std::size_t channels = static_cast<std::size_t>(file.getChannels());
    std::size_t frames = 0;
    bool justRewound = false;
    // A loop continues inside the same block, so its seam has no gap.
    while (frames < kStreamFrames) {
        std::size_t got =
            file.read(streamScratch.data() + frames * channels, kStreamFrames - frames);
        if (got > 0) {
            frames += got;
            justRewound = false;
            continue;
        }
        if (voice.looped && !justRewound && file.rewind()) {
            justRewound = true;
            continue;
        }
        voice.endOfStream = true;
        break;
    }
    if (frames == 0) {
        return false;
    }
    alBufferData(buffer, floatFormat(file.getChannels()), streamScratch.data(),
                 static_cast<ALsizei>(frames * channels * sizeof(float)), file.getSampleRate());
    return true;
}

void SoundEngine::serviceVoices() {
    for (auto& voice : voices) {
        if (voice->stream) {
            serviceStream(*voice);
        }
    }

    std::erase_if(voices, [this](const std::unique_ptr<Voice>& voice) {
        if (!voice->primed) {
            return false;
        }
        ALint state = 0;
        alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
        ALint queued = 0;
        alGetSourcei(voice->source, AL_BUFFERS_QUEUED, &queued);
        bool finished = voice->stream ? (state != AL_PLAYING && queued == 0) : state == AL_STOPPED;
        if (finished) {
            destroyVoice(*voice);
        }
        return finished;
    });
}
