// The sound output: one SDL2 audio device at 44100 Hz, 16-bit signed host-order stereo. Its
// callback runs on SDL's audio thread, which is the program's mixer thread.
// Close waits for that thread, so after Close the callback is never running.
#pragma once

#include <cstdint>

namespace vek::platform {

class AudioDevice {
  public:
    // Fills `frames` interleaved stereo frames (left, right). Runs on the audio thread.
    using Callback = void (*)(void* user, int16_t* out, uint32_t frames);

    AudioDevice() = default;
    ~AudioDevice() { Close(); }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the default output and starts it. False (nothing open) when SDL has no audio driver
    // or device; SDL converts for hardware that wants another format.
    bool Open(Callback callback, void* user);
    void Close();
    bool IsOpen() const { return id_ != 0; }

    // Keeps the callback from running between the two calls.
    void Lock();
    void Unlock();

    // Frames per callback requested from SDL (about 23 ms).
    static constexpr uint16_t kBufferFrames = 1024;

  private:
    static void Trampoline(void* self, uint8_t* stream, int bytes);

    uint32_t id_ = 0;
    Callback callback_ = nullptr;
    void* user_ = nullptr;
};

} // namespace vek::platform
