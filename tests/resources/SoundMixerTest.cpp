// The mixer pulled directly (no audio device, no real time): volume and pitch arithmetic, ring
// refills across many pulls, clamping, voice exhaustion, stops and the gating flags.
#include "TestFiles.h"
#include "resources/SoundMixer.h"
#include "resources/cVek_SoundBank.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace restest;
using vek::SoundMixer;

namespace {

std::vector<int16_t> Pull(SoundMixer& m, uint32_t frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    m.Pull(out.data(), frames);
    return out;
}

// A mono sound with the given samples.
void MakeSound(cVek_Sound& s, const std::vector<int16_t>& values, uint32_t hz = 44100) {
    const std::vector<uint8_t> avr = Avr(values, false, hz);
    ASSERT_TRUE(s.ReadAvr(avr.data(), avr.size()));
}

// A mixer whose output the test pulls, and a sound bank on it loading from a folder of the test.
struct Mixer : ::testing::Test {
    SoundMixer mixer;
    TempFolder dir;
    cVek_SoundBank bank{&mixer};
    void SetUp() override { mixer.SetOfflineOutput(true); }
    int PlayFull(const cVek_Sound& s) { return mixer.Play(s, 16384, 16384, 65536); }
    void LoadTarget(const std::vector<int16_t>& values) {
        ASSERT_TRUE(WriteBytes(dir / "TARGET.AVR", Avr(values, false, 44100)));
        bank.LoadFrom(dir.Path());
    }
};

} // namespace

TEST_F(Mixer, BankSoundOnePlaysAtVolume409AndThreeTimesItsSpeedAndFreesItsVoiceAfterTheEnd) {
    std::vector<int16_t> values;
    for (int k = 0; k < 30; ++k)
        values.push_back(int16_t((k - 15) * 2000));
    LoadTarget(values);
    ASSERT_EQ(0, bank.Play(1));
    // frame i = sample 3i × 409 / 16384 (rounded down) on both sides; silence after sample 29
    const int16_t expected[10] = {-749, -600, -450, -300, -150, 0, 149, 299, 449, 599};
    std::vector<int16_t> want(32, 0);
    for (int i = 0; i < 20; ++i)
        want[i] = expected[i / 2];
    EXPECT_EQ(want, Pull(mixer, 16));
    EXPECT_TRUE(mixer.VoiceActive(0));
    Pull(mixer, 1);
    EXPECT_FALSE(mixer.VoiceActive(0));
}

TEST_F(Mixer, LongSoundStaysSampleExactAcrossRingRefillsOddPullSizesAndRateConversion) {
    // 50000 samples outlast the 17640-frame ring almost three times; a 22050 Hz sound at three
    // times its pitch steps 1.5 samples per output frame.
    std::vector<int16_t> values(50000);
    uint32_t x = 1;
    for (int16_t& v : values) {
        x = x * 1103515245u + 12345u;
        v = int16_t(x >> 16);
    }
    cVek_Sound s;
    MakeSound(s, values, 22050);
    ASSERT_EQ(0, mixer.Play(s, 16384, 8192, 3 * 65536)); // left full, right half
    std::vector<int16_t> out;
    const uint32_t sizes[] = {1, 511, 512, 513, 4096, 7, 1024, 9000, 333};
    for (int round = 0; out.size() < 2 * 34000; ++round) {
        const std::vector<int16_t> chunk = Pull(mixer, sizes[round % 9]);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    for (size_t i = 0; i < out.size() / 2; ++i) {
        const size_t k = i * 3 / 2;
        const int l = k < values.size() ? values[k] : 0;
        ASSERT_EQ(l, out[i * 2]) << "left frame " << i;
        ASSERT_EQ(l * 8192 >> 14, out[i * 2 + 1]) << "right frame " << i;
    }
}

TEST_F(Mixer, VoicesAddAndTheSumIsClampedBothWaysStereoSidesStayApart) {
    cVek_Sound a, b, loud, stereo;
    MakeSound(a, {30000, -30000, 1000, 20000});
    MakeSound(b, {30000, -30000, -500, -25000});
    ASSERT_EQ(0, PlayFull(a));
    ASSERT_EQ(1, PlayFull(b));
    EXPECT_EQ((std::vector<int16_t>{32767, 32767, -32768, -32768, 500, 500, -5000, -5000, 0, 0}), Pull(mixer, 5));
    // One voice beyond full volume clamps by itself too; a stereo sound keeps its sides apart.
    MakeSound(loud, {20000, -20000});
    const std::vector<uint8_t> avr = Avr({1000, -2000, 3000, -4000}, true, 44100);
    ASSERT_TRUE(stereo.ReadAvr(avr.data(), avr.size()));
    mixer.StopAll();
    ASSERT_EQ(0, mixer.Play(loud, 32768, 16384, 65536));
    ASSERT_EQ(1, mixer.Play(stereo, 16384, 4096, 65536));
    EXPECT_EQ((std::vector<int16_t>{32767, 19500, -29768, -21000, 0, 0}), Pull(mixer, 3));
}

TEST_F(Mixer, NoFreeVoiceMeansTheSoundIsNotPlayed) {
    cVek_Sound quiet, loud;
    MakeSound(quiet, std::vector<int16_t>(1000, 10));
    MakeSound(loud, std::vector<int16_t>(1000, 20000));
    for (int v = 0; v < SoundMixer::kVoices; ++v)
        ASSERT_EQ(v, PlayFull(quiet));
    EXPECT_EQ(-1, PlayFull(loud));
    EXPECT_EQ(std::vector<int16_t>(16, 200), Pull(mixer, 8)); // 20 × 10, nothing of the loud one
}

TEST_F(Mixer, StopRequestsAndStopAllFreeVoicesWithoutStaleRequests) {
    cVek_Sound s;
    MakeSound(s, std::vector<int16_t>(100000, 1000));
    ASSERT_EQ(0, PlayFull(s));
    ASSERT_EQ(1, PlayFull(s));
    mixer.RequestStop(0);
    EXPECT_EQ(std::vector<int16_t>(4, 1000), Pull(mixer, 2)); // only voice 1 is heard
    EXPECT_FALSE(mixer.VoiceActive(0));
    ASSERT_EQ(0, PlayFull(s)); // the freed voice is reused
    mixer.StopAll();           // no device: nothing would free them, so no wait
    EXPECT_EQ(0, mixer.ActiveVoices());
    EXPECT_EQ(std::vector<int16_t>(4, 0), Pull(mixer, 2));
    EXPECT_EQ(0, PlayFull(s));
    EXPECT_EQ(std::vector<int16_t>(4, 1000), Pull(mixer, 2));
}

TEST_F(Mixer, SoundsPlayOnlyWithOutputEnabledActiveSwitchedOnUnmutedAndAStep) {
    LoadTarget(std::vector<int16_t>(100, 5000));
    const cVek_Sound& s = *bank.Sound(1);
    EXPECT_EQ(-1, mixer.Play(s, 16384, 16384, 0)) << "a zero step never ends";
    mixer.SetOfflineOutput(false); // nobody would ever free the voice
    EXPECT_EQ(-1, PlayFull(s));
    mixer.SetOfflineOutput(true);
    mixer.SetEnabled(false);
    EXPECT_EQ(-1, PlayFull(s));
    mixer.SetEnabled(true);
    mixer.SetApplicationActive(false);
    EXPECT_EQ(-1, PlayFull(s));
    mixer.SetApplicationActive(true);
    vek::res::ApplySoundSwitch(false, mixer, &bank);
    EXPECT_TRUE(bank.Muted());
    bank.SetMuted(false);
    EXPECT_EQ(-1, bank.Play(1)) << "sound switched off stops the mixer too";
    vek::res::ApplySoundSwitch(true, mixer, &bank);
    EXPECT_EQ(-1, bank.Play(0));
    EXPECT_EQ(-1, bank.Play(3));
    EXPECT_EQ(0, bank.Play(1));
}

TEST_F(Mixer, FreeingOrReplacingAPlayingSoundReleasesItsVoices) {
    {
        cVek_Sound s;
        MakeSound(s, std::vector<int16_t>(100000, 3000));
        ASSERT_EQ(0, PlayFull(s));
    }
    EXPECT_EQ(0, mixer.ActiveVoices());
    EXPECT_EQ(std::vector<int16_t>(4, 0), Pull(mixer, 2));
    LoadTarget(std::vector<int16_t>(100000, 3000));
    ASSERT_EQ(0, bank.Play(1));
    bank.LoadFrom(dir.Path()); // reloading replaces sound 1 while it plays
    EXPECT_EQ(0, mixer.ActiveVoices());
}

TEST(SoundMixer, AudioDeviceThreadPullsTheMixerAndFreesStoppedVoices) {
    // SDL's dummy driver runs a real callback thread without sound hardware.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundMixer mixer;
    ASSERT_TRUE(mixer.StartDevice());
    cVek_Sound s;
    MakeSound(s, std::vector<int16_t>(441000, 1000)); // ten seconds
    ASSERT_EQ(0, mixer.Play(s, 16384, 16384, 65536));
    EXPECT_TRUE(mixer.StopAll()) << "the audio thread never pulled the stop request";
    mixer.StopDevice();
    EXPECT_FALSE(mixer.DeviceRunning());
}
