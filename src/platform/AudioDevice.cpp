#include "platform/AudioDevice.h"

#include <SDL.h>

namespace vek::platform {

bool AudioDevice::Open(Callback callback, void* user) {
    if (id_ != 0 || !callback) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    callback_ = callback;
    user_ = user;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &AudioDevice::Trampoline;
    want.userdata = this;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        callback_ = nullptr;
        user_ = nullptr;
        return false;
    }
    id_ = id;
    SDL_PauseAudioDevice(id_, 0);
    return true;
}

void AudioDevice::Close() {
    if (id_ == 0) return;
    SDL_CloseAudioDevice(id_); // returns after the callback thread has ended
    id_ = 0;
    callback_ = nullptr;
    user_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice::Lock() {
    if (id_ != 0) SDL_LockAudioDevice(id_);
}

void AudioDevice::Unlock() {
    if (id_ != 0) SDL_UnlockAudioDevice(id_);
}

void AudioDevice::Trampoline(void* self, uint8_t* stream, int bytes) {
    auto* d = static_cast<AudioDevice*>(self);
    // 4 bytes per stereo frame; SDL hands whole frames.
    d->callback_(d->user_, reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(bytes) / 4u);
}

} // namespace vek::platform
