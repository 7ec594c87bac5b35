#include "resources/SoundMixer.h"

#include "platform/AudioDevice.h"
#include "resources/cVek_Sound.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

namespace vek {
namespace {

// Live mixers, so a sound being freed can release every voice that still reads it.
// Never destroyed, so a sound freed during exit still finds them.
std::mutex& RegistryLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}
std::vector<SoundMixer*>& Registry() {
    static std::vector<SoundMixer*>* r = new std::vector<SoundMixer*>;
    return *r;
}

inline int32_t Clamp16(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(32767, std::max<int64_t>(-32768, v)));
}

void DeviceCallback(void* user, int16_t* out, uint32_t frames) {
    static_cast<SoundMixer*>(user)->Pull(out, frames);
}

constexpr uint32_t kChunkFrames = 512;

} // namespace

SoundMixer::SoundMixer() {
    for (Voice& v : voices_)
        v.ring.reset(new (std::nothrow) int16_t[kRingFrames * 2]());
    std::lock_guard<std::mutex> g(RegistryLock());
    Registry().push_back(this);
}

SoundMixer::~SoundMixer() {
    StopDevice();
    std::lock_guard<std::mutex> g(RegistryLock());
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

SoundMixer& SoundMixer::Get() {
    static SoundMixer mixer;
    return mixer;
}

bool SoundMixer::StartDevice() {
    if (deviceRunning_) return true;
    auto device = std::make_unique<platform::AudioDevice>();
    if (!device->Open(&DeviceCallback, this)) return false;
    device_ = std::move(device);
    deviceRunning_ = true;
    return true;
}

void SoundMixer::StopDevice() {
    if (device_) {
        // Closing joins the audio thread, so no Pull runs after this.
        device_->Close();
        device_.reset();
        deviceRunning_ = false;
    }
    std::lock_guard<std::mutex> g(mixLock_);
    ReleaseAllLocked();
}

uint64_t SoundMixer::StepFor(uint32_t rate2012, uint32_t pitch16) {
    const uint64_t perFrame = (static_cast<uint64_t>(rate2012) << 20) / kOutputRate;
    return perFrame * pitch16 >> 16;
}

// Writes `frames` pre-mixed frames at the ring's write end. Past the last sample the ring gets
// silence and the voice's end is remembered as the first silent frame.
void SoundMixer::Fill(Voice& v, uint64_t frames) {
    const bool stereo = (v.flags & cVek_Sound::kStereo) != 0;
    for (uint64_t i = 0; i < frames; ++i) {
        int16_t* dst = &v.ring[(v.written % kRingFrames) * 2];
        const uint64_t index = v.position >> 32;
        if (!v.ended && index < v.count) {
            const int32_t l = v.data[stereo ? index * 2 : index];
            const int32_t r = v.data[stereo ? index * 2 + 1 : index];
            // volume 16384 = 1.0, gains 65536 = 1.0; arithmetic shifts round towards −∞
            const int64_t gl = (static_cast<int64_t>(l) * v.volume[0] >> 14) * v.gain[0] >> 16;
            const int64_t gr = (static_cast<int64_t>(r) * v.volume[1] >> 14) * v.gain[0] >> 16;
            dst[0] = static_cast<int16_t>(Clamp16(gl * v.gain[1] >> 16));
            dst[1] = static_cast<int16_t>(Clamp16(gr * v.gain[2] >> 16));
            v.position += v.step;
        } else {
            if (!v.ended) {
                v.ended = true;
                v.end = v.written;
            }
            dst[0] = dst[1] = 0;
        }
        ++v.written;
    }
}

int SoundMixer::Play(const cVek_Sound& sound, int leftVolume, int rightVolume, uint32_t pitch16) {
    if (!enabled_ || !appActive_ || !soundOn_ || !(deviceRunning_ || offline_)) return -1;
    if (!(sound.Flags() & cVek_Sound::kSixteenBit) || !sound.Samples() || sound.Count() == 0) return -1;
    const uint64_t step = StepFor(sound.Rate(), pitch16);
    if (step == 0) return -1;
    for (int n = 0; n < kVoices; ++n) {
        Voice& v = voices_[n];
        if (v.active.load(std::memory_order_acquire) || !v.ring) continue;
        // The voice is ours until `active` is set: the audio thread skips inactive voices.
        v.stopRequested.store(false, std::memory_order_relaxed);
        v.volume[0] = leftVolume;
        v.volume[1] = rightVolume;
        v.step = step;
        v.position = 0;
        v.data = sound.Samples();
        v.count = sound.Count();
        v.flags = sound.Flags();
        v.gain[0] = v.gain[1] = v.gain[2] = 65536;
        v.written = v.played = v.end = 0;
        v.ended = false;
        Fill(v, kFirstFillFrames);
        v.active.store(true, std::memory_order_release);
        return n;
    }
    return -1;
}

void SoundMixer::RequestStop(int voice) {
    if (voice < 0 || voice >= kVoices) return;
    voices_[voice].stopRequested.store(true, std::memory_order_release);
}

bool SoundMixer::StopAll() {
    for (Voice& v : voices_)
        v.stopRequested.store(true, std::memory_order_release);
    if (deviceRunning_) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(kStopAllWaitSeconds);
        while (ActiveVoices() > 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::lock_guard<std::mutex> g(mixLock_);
    const bool freed = ActiveVoices() == 0;
    ReleaseAllLocked();
    return freed;
}

void SoundMixer::ReleaseAllLocked() {
    for (Voice& v : voices_) {
        v.active.store(false, std::memory_order_release);
        v.stopRequested.store(false, std::memory_order_relaxed);
        v.data = nullptr;
    }
}

void SoundMixer::Forget(const int16_t* samples) {
    if (!samples) return;
    std::lock_guard<std::mutex> g(mixLock_);
    for (Voice& v : voices_) {
        if (v.active.load(std::memory_order_acquire) && v.data == samples) {
            v.data = nullptr;
            v.active.store(false, std::memory_order_release);
        }
    }
}

void SoundMixer::ForgetEverywhere(const int16_t* samples) {
    if (!samples) return;
    std::lock_guard<std::mutex> g(RegistryLock());
    for (SoundMixer* m : Registry())
        m->Forget(samples);
}

void SoundMixer::Pull(int16_t* out, uint32_t frames) {
    std::lock_guard<std::mutex> g(mixLock_);
    int32_t acc[kChunkFrames * 2];
    while (frames > 0) {
        const uint32_t n = std::min(frames, kChunkFrames);
        std::memset(acc, 0, sizeof(int32_t) * n * 2);
        for (Voice& v : voices_) {
            if (!v.active.load(std::memory_order_acquire)) continue;
            if (v.stopRequested.load(std::memory_order_acquire) || (v.ended && v.played >= v.end)) {
                v.data = nullptr;
                v.active.store(false, std::memory_order_release);
                continue;
            }
            for (uint32_t i = 0; i < n; ++i) {
                const int16_t* src = &v.ring[((v.played + i) % kRingFrames) * 2];
                acc[i * 2] += src[0];
                acc[i * 2 + 1] += src[1];
            }
            v.played += n;
            // Refill what was just consumed: the ring always holds 0.4 s ahead of the output.
            Fill(v, v.played + kRingFrames - v.written);
        }
        for (uint32_t i = 0; i < n * 2; ++i)
            out[i] = static_cast<int16_t>(Clamp16(acc[i]));
        out += n * 2;
        frames -= n;
    }
}

int SoundMixer::ActiveVoices() const {
    int n = 0;
    for (const Voice& v : voices_)
        n += v.active.load(std::memory_order_acquire) ? 1 : 0;
    return n;
}

bool SoundMixer::VoiceActive(int voice) const {
    return voice >= 0 && voice < kVoices && voices_[voice].active.load(std::memory_order_acquire);
}

namespace res {

void StartSoundMixer() {
    SoundMixer::Get().StartDevice();
}
void StopAllSounds() {
    SoundMixer::Get().StopAll();
}
void StopSoundMixer() {
    SoundMixer::Get().StopDevice();
}

} // namespace res

} // namespace vek
