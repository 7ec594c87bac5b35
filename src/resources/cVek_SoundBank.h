// The interface sounds by number (from 1), loaded from a table of file name, volume and pitch
// factor, and played through a mixer unless the bank is muted.
// The desktop owns the program's bank; the table ends with an entry whose name is empty.
#pragma once

#include "resources/cVek_Sound.h"

#include <memory>
#include <string>
#include <vector>

namespace vek {
class SoundMixer;
}

struct s_SoundBankEntry {
    const char* fileName; // "" ends the table
    double volume;        // 1.0 = full
    double pitch;         // 1.0 = recorded speed
};

// The program's sounds: 1 "TARGET.AVR", 2 "Klink.WAV".
extern const s_SoundBankEntry kVek_SoundTable[];

class cVek_SoundBank {
  public:
    // Plays through `mixer`, by default the process-wide one.
    explicit cVek_SoundBank(vek::SoundMixer* mixer = nullptr);
    ~cVek_SoundBank();

    // One sound per table row (row k is index k + 1), replacing any sound already there. Load
    // reads from the start folder's "Data"; LoadFrom from `folder`.
    void Load(const s_SoundBankEntry* table = kVek_SoundTable);
    void LoadFrom(const std::string& folder, const s_SoundBankEntry* table = kVek_SoundTable);

    // Plays sound `index` at volume × 16384 on both sides and pitch × 65536 (16.16). Returns the
    // voice, or -1 when muted, out of range, empty or not started by the mixer.
    int Play(int index);

    void SetMuted(bool muted) { muted_ = muted; }
    bool Muted() const { return muted_; }
    int Size() const { return size_; }
    const cVek_Sound* Sound(int index) const;

    static constexpr int kGrowStep = 32;

  private:
    template <class LoadOne> void LoadTable(const s_SoundBankEntry* table, LoadOne loadOne);

    vek::SoundMixer* mixer_;
    std::vector<std::unique_ptr<cVek_Sound>> sounds_; // slot 0 is index 1; grown in steps of 32
    int size_ = 0;                                    // highest index loaded
    bool muted_ = false;
};

namespace vek::res {
// The sound switch: on enables the mixer and unmutes `bank`; off does the opposite.
void ApplySoundSwitch(bool on, SoundMixer& mixer, cVek_SoundBank* bank);
} // namespace vek::res
