// The mixer pulled directly (no audio device, no real time): volume and pitch arithmetic, ring
// refills across many pulls, clamping, voice exhaustion, stops and the gating flags.
#include "TestFiles.h"
#include "resources/SoundMixer.h"
#include "resources/cVek_SoundBank.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

using namespace restest;
using vek::SoundMixer;

namespace {

std::vector<int16_t> Pull(SoundMixer& m, uint32_t frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    m.Pull(out.data(), frames);
    return out;
}

// A mono 44100 Hz sound with the given samples.
void MakeSound(cVek_Sound& s, const std::vector<int16_t>& values, uint32_t hz = 44100) {
    const std::vector<uint8_t> avr = Avr(values, false, hz);
    ASSERT_TRUE(s.ReadAvr(avr.data(), avr.size()));
}

} // namespace

TEST(SoundMixer, StepIsRateOver44100TimesPitchIn32Point32) {
    EXPECT_EQ(uint64_t(1) << 32, SoundMixer::StepFor(44100u << 12, 65536));
    EXPECT_EQ(12884901888u, SoundMixer::StepFor(44100u << 12, 3 * 65536));
    EXPECT_EQ(6442450944u, SoundMixer::StepFor(22050u << 12, 3 * 65536));
    EXPECT_EQ(1168698583u, SoundMixer::StepFor(8000u << 12, 98304)); // 8 kHz at 1.5
}

TEST(SoundMixer, BankSoundOnePlaysAtVolume409AndThreeTimesItsSpeed) {
    TempFolder dir;
    std::vector<int16_t> values;
    for (int k = 0; k < 30; ++k)
        values.push_back(int16_t((k - 15) * 2000));
    ASSERT_TRUE(WriteBytes(dir / "TARGET.AVR", Avr(values, false, 44100)));
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    cVek_SoundBank bank(&mixer);
    bank.LoadFrom(dir.Path());
    ASSERT_EQ(2, bank.Size());
    ASSERT_EQ(0, bank.Play(1));

    // frame i = sample 3i × 409 / 16384 (rounded down) on both sides; silence after sample 29
    const int expected[10] = {-749, -600, -450, -300, -150, 0, 149, 299, 449, 599};
    const std::vector<int16_t> out = Pull(mixer, 16);
    for (int i = 0; i < 16; ++i) {
        const int e = i < 10 ? expected[i] : 0;
        EXPECT_EQ(e, out[i * 2]) << "left frame " << i;
        EXPECT_EQ(e, out[i * 2 + 1]) << "right frame " << i;
    }
    // The voice is freed once the output has passed the sound's end.
    EXPECT_TRUE(mixer.VoiceActive(0));
    Pull(mixer, 1);
    EXPECT_FALSE(mixer.VoiceActive(0));
    EXPECT_EQ(std::vector<int16_t>(8, 0), Pull(mixer, 4));
}

TEST(SoundMixer, LongSoundStaysSampleExactAcrossRingRefillsAndOddPullSizes) {
    // 50000 samples outlast the 17640-frame ring almost three times.
    std::vector<int16_t> values(50000);
    uint32_t x = 1;
    for (int16_t& v : values) {
        x = x * 1103515245u + 12345u;
        v = int16_t(x >> 16);
    }
    cVek_Sound s;
    MakeSound(s, values);
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    ASSERT_EQ(0, mixer.Play(s, 16384, 8192, 98304)); // left full, right half, 1.5 × speed

    std::vector<int16_t> out;
    const uint32_t sizes[] = {1, 511, 512, 513, 4096, 7, 1024, 9000, 333};
    for (int round = 0; out.size() < 2 * 34000; ++round) {
        const std::vector<int16_t> chunk = Pull(mixer, sizes[round % 9]);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    for (size_t i = 0; i < out.size() / 2; ++i) {
        const size_t k = i * 3 / 2;
        const int l = k < values.size() ? values[k] : 0;
        const int r = k < values.size() ? (values[k] * 8192 >> 14) : 0;
        ASSERT_EQ(l, out[i * 2]) << "left frame " << i;
        ASSERT_EQ(r, out[i * 2 + 1]) << "right frame " << i;
    }
}

TEST(SoundMixer, TwoVoicesAddAndTheSumIsClampedBothWays) {
    cVek_Sound a, b;
    MakeSound(a, {30000, -30000, 1000, 20000});
    MakeSound(b, {30000, -30000, -500, -25000});
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    ASSERT_EQ(0, mixer.Play(a, 16384, 16384, 65536));
    ASSERT_EQ(1, mixer.Play(b, 16384, 16384, 65536));
    const std::vector<int16_t> out = Pull(mixer, 5);
    EXPECT_EQ((std::vector<int16_t>{32767, 32767, -32768, -32768, 500, 500, -5000, -5000, 0, 0}), out);

    // A stereo sound keeps its sides apart, each at its own volume.
    cVek_Sound st;
    const std::vector<uint8_t> avr = Avr({1000, -2000, 3000, -4000}, true, 44100);
    ASSERT_TRUE(st.ReadAvr(avr.data(), avr.size()));
    SoundMixer both;
    both.SetOfflineOutput(true);
    ASSERT_EQ(0, both.Play(st, 16384, 4096, 65536));
    EXPECT_EQ((std::vector<int16_t>{1000, -500, 3000, -1000, 0, 0}), Pull(both, 3));

    // One voice beyond full volume clamps by itself too.
    cVek_Sound c;
    MakeSound(c, {20000, -20000});
    SoundMixer solo;
    solo.SetOfflineOutput(true);
    ASSERT_EQ(0, solo.Play(c, 32768, 16384, 65536));
    EXPECT_EQ((std::vector<int16_t>{32767, 20000, -32768, -20000}), Pull(solo, 2));
}

TEST(SoundMixer, NoFreeVoiceMeansTheSoundIsNotPlayed) {
    cVek_Sound quiet, loud;
    MakeSound(quiet, std::vector<int16_t>(1000, 10));
    MakeSound(loud, std::vector<int16_t>(1000, 20000));
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    for (int v = 0; v < SoundMixer::kVoices; ++v)
        ASSERT_EQ(v, mixer.Play(quiet, 16384, 16384, 65536));
    EXPECT_EQ(-1, mixer.Play(loud, 16384, 16384, 65536));
    EXPECT_EQ(SoundMixer::kVoices, mixer.ActiveVoices());
    const std::vector<int16_t> out = Pull(mixer, 8);
    EXPECT_EQ(std::vector<int16_t>(16, 200), out); // 20 × 10, nothing of the loud one
}

TEST(SoundMixer, StopRequestsAndStopAllFreeVoices) {
    cVek_Sound s;
    MakeSound(s, std::vector<int16_t>(100000, 1000));
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536));
    ASSERT_EQ(1, mixer.Play(s, 16384, 16384, 65536));
    mixer.RequestStop(0);
    EXPECT_EQ(std::vector<int16_t>(4, 1000), Pull(mixer, 2)); // only voice 1 is heard
    EXPECT_FALSE(mixer.VoiceActive(0));
    EXPECT_TRUE(mixer.VoiceActive(1));

    ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536)); // the freed voice is reused
    mixer.StopAll();                                  // no device: nothing would free them, so no wait
    EXPECT_EQ(0, mixer.ActiveVoices());
    EXPECT_EQ(std::vector<int16_t>(4, 0), Pull(mixer, 2));
    EXPECT_EQ(0, mixer.Play(s, 16384, 16384, 65536)) << "stop-all leaves no stale stop request";
    EXPECT_EQ(std::vector<int16_t>(4, 1000), Pull(mixer, 2));
}

TEST(SoundMixer, SoundsPlayOnlyWhileEnabledActiveSwitchedOnUnmutedAndHeard) {
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "TARGET.AVR", Avr(std::vector<int16_t>(100, 5000), false, 44100)));
    SoundMixer mixer;
    cVek_SoundBank bank(&mixer);
    bank.LoadFrom(dir.Path());
    const cVek_Sound& s = *bank.Sound(1);

    // Without a device or offline output nobody would ever free the voice.
    EXPECT_EQ(-1, mixer.Play(s, 16384, 16384, 65536));
    mixer.SetOfflineOutput(true);
    EXPECT_EQ(-1, mixer.Play(s, 16384, 16384, 0)) << "a zero step never ends";

    mixer.SetEnabled(false);
    EXPECT_EQ(-1, mixer.Play(s, 16384, 16384, 65536));
    mixer.SetEnabled(true);
    mixer.SetApplicationActive(false);
    EXPECT_EQ(-1, mixer.Play(s, 16384, 16384, 65536));
    mixer.SetApplicationActive(true);
    vek::res::ApplySoundSwitch(false, mixer, &bank);
    EXPECT_TRUE(bank.Muted());
    EXPECT_EQ(-1, bank.Play(1));
    bank.SetMuted(false);
    EXPECT_EQ(-1, bank.Play(1)) << "sound switched off stops the mixer too";
    vek::res::ApplySoundSwitch(true, mixer, &bank);
    EXPECT_EQ(-1, bank.Play(0));
    EXPECT_EQ(-1, bank.Play(3));
    EXPECT_EQ(0, bank.Play(1));
    EXPECT_EQ(1, mixer.ActiveVoices());
}

TEST(SoundMixer, FreeingOrReplacingAPlayingSoundReleasesItsVoices) {
    SoundMixer mixer;
    mixer.SetOfflineOutput(true);
    {
        cVek_Sound s;
        MakeSound(s, std::vector<int16_t>(100000, 3000));
        ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536));
    }
    EXPECT_EQ(0, mixer.ActiveVoices());
    EXPECT_EQ(std::vector<int16_t>(4, 0), Pull(mixer, 2));

    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "TARGET.AVR", Avr(std::vector<int16_t>(100000, 3000), false, 44100)));
    cVek_SoundBank bank(&mixer);
    bank.LoadFrom(dir.Path());
    ASSERT_EQ(0, bank.Play(1));
    bank.LoadFrom(dir.Path()); // reloading replaces sound 1 while it plays
    EXPECT_EQ(0, mixer.ActiveVoices());
}

TEST(SoundMixer, AudioDeviceThreadPullsTheMixer) {
    // SDL's dummy driver runs a real callback thread without sound hardware.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundMixer mixer;
    ASSERT_TRUE(mixer.StartDevice());
    cVek_Sound s; // the silent sound: 16 samples
    ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536));
    // Wait for the audio thread to play the sound out and free its voice (bounded, not timed).
    for (int i = 0; i < 5000 && mixer.ActiveVoices() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(0, mixer.ActiveVoices());
    ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536));
    mixer.StopAll();
    EXPECT_EQ(0, mixer.ActiveVoices());
    mixer.StopDevice();
    EXPECT_FALSE(mixer.DeviceRunning());
}
