// Sound files: AVR and DAT readers, the one-time WAV to DAT conversion, and the silent sound that
// replaces anything missing or damaged.
#include "TestFiles.h"
#include "resources/cVek_Sound.h"

#include <gtest/gtest.h>

#include <vector>

using namespace restest;

namespace {

std::vector<int16_t> SamplesOf(const cVek_Sound& s) {
    const size_t n = size_t(s.Count()) * ((s.Flags() & cVek_Sound::kStereo) ? 2 : 1);
    return std::vector<int16_t>(s.Samples(), s.Samples() + n);
}

void ExpectSilent(const cVek_Sound& s) {
    EXPECT_EQ(16u, s.Count());
    EXPECT_EQ(44100u << 12, s.Rate());
    EXPECT_EQ(cVek_Sound::kSixteenBit, s.Flags());
    EXPECT_EQ(std::vector<int16_t>(16, 0), SamplesOf(s));
}

} // namespace

TEST(SoundFiles, AvrBigEndianSamplesBecomeHostOrderWithRateAndFormat) {
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "T.AVR", Avr({0x0102, -2, 32767, -32768}, false, 22050)));
    cVek_Sound s;
    s.LoadFrom(dir.Path(), "T.AVR");
    EXPECT_EQ((std::vector<int16_t>{0x0102, -2, 32767, -32768}), SamplesOf(s));
    EXPECT_EQ(4u, s.Count());
    EXPECT_EQ(22050u * 4096u, s.Rate());
    EXPECT_EQ(cVek_Sound::kSixteenBit, s.Flags());

    ASSERT_TRUE(WriteBytes(dir / "S.avr", Avr({10, -10, 20, -20}, true, 44100)));
    s.LoadFrom(dir.Path(), "S.avr");
    EXPECT_EQ(2u, s.Count()); // frames, not values
    EXPECT_EQ(cVek_Sound::kSixteenBit | cVek_Sound::kStereo, s.Flags());
    EXPECT_EQ((std::vector<int16_t>{10, -10, 20, -20}), SamplesOf(s));
}

TEST(SoundFiles, EightBitAvrWidensToSixteenBits) {
    std::vector<uint8_t> b = Avr({}, false, 8000);
    b[15] = 8;         // resolution 8
    b[16] = b[17] = 0; // unsigned bytes
    b[29] = 3;         // three samples
    b.insert(b.end(), {0x80, 0xFF, 0x00});
    cVek_Sound s;
    ASSERT_TRUE(s.ReadAvr(b.data(), b.size()));
    EXPECT_EQ((std::vector<int16_t>{0, 127 * 256, -128 * 256}), SamplesOf(s));
    EXPECT_EQ(cVek_Sound::kSixteenBit, s.Flags());
}

TEST(SoundFiles, MissingOrDamagedFilesGiveTheSilentSoundAndNeverCrash) {
    TempFolder dir;
    cVek_Sound s;
    s.LoadFrom(dir.Path(), "NOPE.AVR");
    ExpectSilent(s);
    s.LoadFrom(dir.Path(), "Nope.WAV");
    ExpectSilent(s);

    // Every cut of a valid AVR and WAV, and a few corrupt headers, is refused or read within bounds.
    const std::vector<int16_t> ramp = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> avr = Avr(ramp, false, 44100), wav = Wav(ramp, 2);
    for (size_t cut = 0; cut < avr.size(); ++cut) {
        ASSERT_TRUE(WriteBytes(dir / "CUT.AVR", std::vector<uint8_t>(avr.begin(), avr.begin() + cut)));
        s.LoadFrom(dir.Path(), "CUT.AVR");
        ExpectSilent(s);
    }
    for (size_t cut = 0; cut < wav.size(); ++cut) {
        ASSERT_TRUE(WriteBytes(dir / "cut.WAV", std::vector<uint8_t>(wav.begin(), wav.begin() + cut)));
        s.LoadFrom(dir.Path(), "cut.WAV");
        ExpectSilent(s);
        EXPECT_TRUE(Exists(dir / "cut.WAV")) << "a damaged WAV must stay where it is";
        EXPECT_FALSE(Exists(dir / "cut.DAT"));
    }
    std::vector<uint8_t> bad = avr;
    bad[26] = 0x7F; // sample count far beyond the file
    ASSERT_TRUE(WriteBytes(dir / "BIG.AVR", bad));
    s.LoadFrom(dir.Path(), "BIG.AVR");
    ExpectSilent(s);
    bad = avr;
    bad[23] = 0x20; // 2 MHz does not fit the 20.12 rate
    ASSERT_TRUE(WriteBytes(dir / "FAST.AVR", bad));
    s.LoadFrom(dir.Path(), "FAST.AVR");
    ExpectSilent(s);
    bad = wav;
    bad[34] = 8; // 8-bit WAV
    ASSERT_TRUE(WriteBytes(dir / "b8.WAV", bad));
    s.LoadFrom(dir.Path(), "b8.WAV");
    ExpectSilent(s);
}

TEST(SoundFiles, StereoWavConvertsOnceToBigEndianLeftChannelDat) {
    TempFolder dir;
    // left 1000, 2000, -3; right 7, 8, 9
    ASSERT_TRUE(WriteBytes(dir / "Klink.WAV", Wav({1000, 7, 2000, 8, -3, 9}, 2)));
    cVek_Sound s;
    s.LoadFrom(dir.Path(), "Klink.WAV");
    EXPECT_EQ((std::vector<int16_t>{1000, 2000, -3}), SamplesOf(s));
    EXPECT_EQ(44100u << 12, s.Rate());
    EXPECT_FALSE(Exists(dir / "Klink.WAV"));
    EXPECT_EQ((std::vector<uint8_t>{0x03, 0xE8, 0x07, 0xD0, 0xFF, 0xFD}), ReadBytes(dir / "Klink.DAT"));

    cVek_Sound again;
    again.LoadFrom(dir.Path(), "Klink.WAV"); // now read from the DAT
    EXPECT_EQ(SamplesOf(s), SamplesOf(again));
}

TEST(SoundFiles, MonoWavKeepsEverySampleInsteadOfDroppingHalf) {
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "m.wav", Wav({5, 6, 7, 8, 9}, 1)));
    cVek_Sound s;
    s.LoadFrom(dir.Path(), "m.wav");
    EXPECT_EQ((std::vector<int16_t>{5, 6, 7, 8, 9}), SamplesOf(s));
    EXPECT_TRUE(Exists(dir / "m.DAT"));
}

TEST(SoundFiles, DatNameReplacesOnlyTheLastExtension) {
    EXPECT_EQ("Klink.DAT", vek::res::DatNameOf("Klink.WAV"));
    EXPECT_EQ("a.b.DAT", vek::res::DatNameOf("a.b.wav"));
    EXPECT_EQ("noext.DAT", vek::res::DatNameOf("noext"));
    EXPECT_EQ("dir.x/noext.DAT", vek::res::DatNameOf("dir.x/noext"));
}

// The committed interface sounds, checked without listening.
TEST(SoundFiles, ShippedSoundsAreCleanShortAndUnclipped) {
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "TARGET.AVR", ReadBytes(std::string(SX_DATA_DIR) + "/TARGET.AVR")));
    ASSERT_TRUE(WriteBytes(dir / "Klink.WAV", ReadBytes(std::string(SX_DATA_DIR) + "/Klink.WAV")));
    struct Case {
        const char* name;
        double speed; // how much faster the bank plays it
    };
    for (const Case& c : {Case{"TARGET.AVR", 3.0}, Case{"Klink.WAV", 1.0}}) {
        SCOPED_TRACE(c.name);
        cVek_Sound s;
        s.LoadFrom(dir.Path(), c.name);
        const std::vector<int16_t> v = SamplesOf(s);
        ASSERT_GT(v.size(), 2000u) << "the real sound, not the silent one";
        EXPECT_EQ(44100u << 12, s.Rate());
        const double playedMs = 1000.0 * double(s.Count()) / (44100.0 * c.speed);
        EXPECT_GT(playedMs, 30.0);
        EXPECT_LT(playedMs, 500.0);
        int peak = 0;
        size_t peakAt = 0;
        double sum = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            sum += v[i];
            if (std::abs(v[i]) > peak) peak = std::abs(v[i]), peakAt = i;
        }
        EXPECT_LT(peak, 32000) << "headroom: no sample at or near full scale";
        EXPECT_GT(peak, 16000) << "loud enough to be heard at the bank's low volumes";
        EXPECT_LT(std::abs(sum / double(v.size())), 10.0) << "DC offset";
        EXPECT_LT(1000.0 * double(peakAt) / (44100.0 * c.speed), 10.0) << "attack longer than 10 ms";
        EXPECT_EQ(0, v.front());
        EXPECT_EQ(0, v.back());
        // The decay: the last tenth is far quieter than the first.
        double head = 0, tail = 0;
        for (size_t i = 0; i < v.size() / 10; ++i) {
            head += std::abs(v[i + v.size() / 20]);
            tail += std::abs(v[v.size() - 1 - i]);
        }
        EXPECT_LT(tail, head / 20);
    }
}
