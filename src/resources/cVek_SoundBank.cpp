#include "resources/cVek_SoundBank.h"

#include "resources/SoundMixer.h"

const s_SoundBankEntry kVek_SoundTable[] = {
    {"TARGET.AVR", 0.025, 3.0},
    {"Klink.WAV", 0.05, 1.0},
    {"", 0.0, 0.0},
};

cVek_SoundBank::cVek_SoundBank(vek::SoundMixer* mixer) : mixer_(mixer ? mixer : &vek::SoundMixer::Get()) {}

cVek_SoundBank::~cVek_SoundBank() = default;

template <class LoadOne> void cVek_SoundBank::LoadTable(const s_SoundBankEntry* table, LoadOne loadOne) {
    if (!table) return;
    for (int row = 0; table[row].fileName && table[row].fileName[0]; ++row) {
        auto sound = std::make_unique<cVek_Sound>();
        loadOne(*sound, table[row].fileName);
        sound->volume = table[row].volume;
        sound->pitch = table[row].pitch;
        if (static_cast<size_t>(row) >= sounds_.size())
            sounds_.resize((row / kGrowStep + 1) * static_cast<size_t>(kGrowStep));
        // The old sound's destructor releases any voice still playing it.
        sounds_[row] = std::move(sound);
        if (row + 1 > size_) size_ = row + 1;
    }
}

void cVek_SoundBank::Load(const s_SoundBankEntry* table) {
    LoadTable(table, [](cVek_Sound& s, const char* name) { s.Load(name); });
}

void cVek_SoundBank::LoadFrom(const std::string& folder, const s_SoundBankEntry* table) {
    LoadTable(table, [&folder](cVek_Sound& s, const char* name) { s.LoadFrom(folder, name); });
}

const cVek_Sound* cVek_SoundBank::Sound(int index) const {
    if (index < 1 || index > size_) return nullptr;
    return sounds_[index - 1].get();
}

int cVek_SoundBank::Play(int index) {
    if (muted_) return -1;
    const cVek_Sound* s = Sound(index);
    if (!s) return -1;
    // A table row with a nonsensical volume or pitch is skipped rather than turned into noise.
    if (!(s->pitch > 0.0 && s->pitch < 256.0) || !(s->volume >= 0.0 && s->volume <= 4.0)) return -1;
    // Truncating conversions: 0.025 × 16384 = 409.6 plays at 409.
    const int volume = static_cast<int>(s->volume * vek::SoundMixer::kFullVolume);
    const uint32_t pitch = static_cast<uint32_t>(s->pitch * 65536.0);
    return mixer_->Play(*s, volume, volume, pitch);
}

namespace vek::res {

void ApplySoundSwitch(bool on, SoundMixer& mixer, cVek_SoundBank* bank) {
    mixer.SetSoundOn(on);
    mixer.SetEnabled(on);
    if (bank) bank->SetMuted(!on);
}

} // namespace vek::res
