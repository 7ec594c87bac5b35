// The software mixer: 20 voices mixed into 44100 Hz 16-bit stereo.
//
// Each voice pre-mixes its sound into its own ring of 0.4 s (17640 stereo frames); starting a
// voice fills the first 0.2 s on the calling (main) thread, and every Pull, run on the audio
// thread, mixes the rings, then refills each ring between its last written frame and its play
// position. Sharing: only the voices are shared. The main thread writes a voice only while its
// `active` flag is clear and sets that flag last (release); the audio thread touches only active
// voices and clears the flag as its last touch. Forced releases (stop all, forgetting a sound,
// shutdown) take the mix lock, which Pull holds while it runs. Pull itself allocates nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class cVek_Sound;

namespace vek {
namespace platform {
class AudioDevice;
}

class SoundMixer {
  public:
    static constexpr int kVoices = 20;
    static constexpr int kOutputRate = 44100;
    static constexpr uint32_t kRingFrames = 17640;     // 70560 bytes, 0.4 s
    static constexpr uint32_t kFirstFillFrames = 8820; // 35280 bytes, 0.2 s
    static constexpr int kFullVolume = 16384;
    static constexpr double kStopAllWaitSeconds = 0.8;

    SoundMixer();
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // The process-wide mixer behind the sound bank.
    static SoundMixer& Get();

    // Opens the audio device (44100 Hz, 16-bit stereo) whose callback thread pulls this mixer.
    // False when no device can be opened; sounds are then simply not heard.
    bool StartDevice();
    // Closes the device and waits for its thread; every voice is released.
    void StopDevice();
    bool DeviceRunning() const { return deviceRunning_; }
    // Declares that the caller pulls the output itself (tests, rendering to a file). Voices start
    // only while a device runs or offline output is on, so without any output nothing piles up.
    void SetOfflineOutput(bool on) { offline_ = on; }

    // A voice starts only while all three are on.
    void SetEnabled(bool on) { enabled_ = on; }
    void SetApplicationActive(bool on) { appActive_ = on; }
    void SetSoundOn(bool on) { soundOn_ = on; }
    bool Enabled() const { return enabled_; }
    bool SoundOn() const { return soundOn_; }

    // Starts a voice (volumes 16384 = full, pitch 16.16). Returns the voice number, or -1 when the
    // mixer is off or has no output, no voice is free, the step would be 0 (the voice would never
    // end) or the sound has no 16-bit samples.
    int Play(const cVek_Sound& sound, int leftVolume, int rightVolume, uint32_t pitch16);
    // Asks one voice to stop; the audio thread frees it at its next pull.
    void RequestStop(int voice);
    // Asks every voice to stop, waits up to 0.8 s for the audio thread to free them (no wait
    // without a running device), then releases all voices. True when no voice was still playing
    // when the wait ended (the audio thread freed them, or none played).
    bool StopAll();
    // Releases every voice that plays `samples`; afterwards nothing reads them.
    void Forget(const int16_t* samples);
    // Calls Forget on every live mixer (run when a sound's samples go away).
    static void ForgetEverywhere(const int16_t* samples);

    // Audio thread: mixes `frames` stereo frames (interleaved left, right) into `out`.
    void Pull(int16_t* out, uint32_t frames);

    int ActiveVoices() const;
    bool VoiceActive(int voice) const;

    // Sample increment per output frame in 32.32 fixed point for a rate in 20.12 fixed point and a
    // 16.16 pitch: ((rate << 20) / 44100) * pitch >> 16, in 64-bit integers.
    static uint64_t StepFor(uint32_t rate2012, uint32_t pitch16);

  private:
    struct Voice {
        std::atomic<bool> active{false};
        std::atomic<bool> stopRequested{false};
        int32_t volume[2] = {0, 0};
        uint64_t step = 0;
        uint64_t position = 0; // 32.32 sample position
        const int16_t* data = nullptr;
        uint32_t count = 0;
        uint8_t flags = 0;
        int32_t gain[3] = {0, 0, 0};     // 16.16: overall, left, right; all 1.0 when started
        std::unique_ptr<int16_t[]> ring; // kRingFrames stereo frames; null if it could not be had
        uint64_t written = 0;            // absolute frames written into the ring
        uint64_t played = 0;             // absolute frames consumed by the output
        uint64_t end = 0;                // absolute frame where the sound's samples ran out
        bool ended = false;
    };

    void Fill(Voice& v, uint64_t frames);
    void ReleaseAllLocked();

    Voice voices_[kVoices];
    std::mutex mixLock_;
    std::atomic<bool> enabled_{true};
    std::atomic<bool> appActive_{true};
    std::atomic<bool> soundOn_{true};
    std::atomic<bool> deviceRunning_{false};
    std::atomic<bool> offline_{false};
    std::unique_ptr<platform::AudioDevice> device_;
};

namespace res {
// The shell's sound services on the process-wide mixer: open the device at start-up, stop all
// sounds on deactivation, close the device (joining the mixer thread) at shutdown.
void StartSoundMixer();
void StopAllSounds();
void StopSoundMixer();
} // namespace res

} // namespace vek
