// One interface sound: 16-bit signed samples in host order with their rate and format, plus the
// volume and pitch factor the sound bank plays it with.
// Loading never fails: a missing, damaged or truncated file gives the silent sound (16 zero mono
// samples at 44100 Hz), so the bank always has something safe to hand to the mixer.
#pragma once

#include "shell/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

class cVek_Sound {
  public:
    enum : uint8_t { kStereo = 1 << 0, kSixteenBit = 1 << 1 };

    cVek_Sound();
    // Stops every mixer voice still playing these samples before they are freed.
    ~cVek_Sound();
    cVek_Sound(const cVek_Sound&) = delete;
    cVek_Sound& operator=(const cVek_Sound&) = delete;

    // Loads `name` from the start folder's "Data" (folder service, kind 0).
    void Load(const std::string& name);
    // Loads `name` from `folder`:
    // - "*.AVR" (any case): an AVR file, big-endian samples from byte 128;
    // - any other name: a WAV of that name is converted once to "<name>.DAT" (its left channel,
    //   big-endian) and deleted; then, or when there is no WAV, the "DAT" file is read (raw
    //   big-endian 16-bit mono at 44100 Hz).
    void LoadFrom(const std::string& folder, const std::string& name);

    // Parsers over file images; false (sound unchanged) for anything malformed or truncated.
    bool ReadAvr(const uint8_t* bytes, size_t size);
    bool ReadDat(const uint8_t* bytes, size_t size);

    void MakeSilent();

    const int16_t* Samples() const { return samples_.As<int16_t>(); }
    uint32_t Count() const { return count_; } // sample frames (per channel)
    uint32_t Rate() const { return rate_; }   // Hz in 20.12 fixed point
    uint8_t Flags() const { return flags_; }

    double volume = 1.0; // 1.0 = full
    double pitch = 1.0;  // 1.0 = recorded speed

    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr uint32_t kSilentCount = 16;

  private:
    // Takes over `data` as `count` frames; releases the old samples from every mixer first.
    void Publish(vek::MemBlock&& data, uint32_t count, uint32_t rate, uint8_t flags);

    vek::MemBlock samples_;
    uint32_t count_ = 0;
    uint32_t rate_ = 0;
    uint8_t flags_ = 0;
};

namespace vek::res {
// "Klink.WAV" → "Klink.DAT"; a name without an extension gets ".DAT" appended.
std::string DatNameOf(const std::string& name);
// Converts a 44-byte-header WAV image to DAT bytes (left channel of a stereo file, every sample of
// a mono one, big-endian). False for anything that is not 16-bit PCM or is cut short.
bool WavToDat(const uint8_t* bytes, size_t size, MemBlock& dat);
} // namespace vek::res
