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

} // namespace

TEST(SoundFiles, AvrSamplesBecomeHostOrderSixteenBitsWithRateAndFormat) {
    std::vector<uint8_t> eight = Avr({}, false, 8000);
    eight[15] = 8;             // resolution 8
    eight[16] = eight[17] = 0; // unsigned bytes
    eight[29] = 3;             // three samples
    eight.insert(eight.end(), {0x80, 0xFF, 0x00});
    const struct {
        std::vector<uint8_t> file;
        std::vector<int16_t> samples;
        uint32_t count, hz;
        uint8_t flags;
    } cases[] = {
        {Avr({0x0102, -2, 32767, -32768}, false, 22050), {0x0102, -2, 32767, -32768}, 4, 22050, cVek_Sound::kSixteenBit},
        {Avr({10, -10, 20, -20}, true, 44100), {10, -10, 20, -20}, 2, 44100, cVek_Sound::kSixteenBit | cVek_Sound::kStereo},
        {eight, {0, 127 * 256, -128 * 256}, 3, 8000, cVek_Sound::kSixteenBit},
    };
    for (const auto& c : cases) {
        cVek_Sound s;
        ASSERT_TRUE(s.ReadAvr(c.file.data(), c.file.size()));
        EXPECT_EQ(c.samples, SamplesOf(s));
        EXPECT_EQ(c.count, s.Count()); // frames, not values
        EXPECT_EQ(c.hz << 12, s.Rate());
        EXPECT_EQ(c.flags, s.Flags());
    }
}

TEST(SoundFiles, MissingOrDamagedFilesGiveTheSilentSoundAndNeverCrash) {
    TempFolder dir;
    // Every cut of a valid AVR and WAV, and a few corrupt headers, is refused or read within bounds.
    const std::vector<int16_t> ramp = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> avr = Avr(ramp, false, 44100), wav = Wav(ramp, 2);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {{"NOPE.AVR", {}}, {"Nope.WAV", {}}};
    for (size_t cut = 0; cut < avr.size(); ++cut)
        files.push_back({"CUT.AVR", std::vector<uint8_t>(avr.begin(), avr.begin() + cut)});
    for (size_t cut = 0; cut < wav.size(); ++cut)
        files.push_back({"cut.WAV", std::vector<uint8_t>(wav.begin(), wav.begin() + cut)});
    const std::pair<size_t, uint8_t> patches[] = {
        {26, 0x7F}, // AVR sample count far beyond the file
        {23, 0x20}, // AVR rate of 2 MHz does not fit the 20.12 rate
        {34, 8},    // 8-bit WAV
    };
    for (const auto& p : patches) {
        files.push_back({p.first == 34 ? "b8.WAV" : "BAD.AVR", p.first == 34 ? wav : avr});
        files.back().second[p.first] = p.second;
    }
    for (const auto& f : files) {
        const bool missing = f.first.find("ope") != std::string::npos;
        ASSERT_TRUE(missing || WriteBytes(dir / f.first, f.second));
        cVek_Sound s;
        s.LoadFrom(dir.Path(), f.first);
        EXPECT_EQ(16u, s.Count()) << f.first << " of " << f.second.size();
        EXPECT_EQ(44100u << 12, s.Rate());
        EXPECT_EQ(cVek_Sound::kSixteenBit, s.Flags());
        EXPECT_EQ(std::vector<int16_t>(16, 0), SamplesOf(s));
        EXPECT_EQ(!missing, Exists(dir / f.first)) << "a damaged file must stay where it is";
        EXPECT_FALSE(Exists(dir / vek::res::DatNameOf(f.first)));
    }
}

TEST(SoundFiles, WavConvertsOnceToABigEndianDatOfItsLeftOrOnlyChannel) {
    TempFolder dir;
    const struct {
        const char* name;
        std::vector<uint8_t> wav;
        std::vector<int16_t> samples;
        const char* dat;
    } cases[] = {
        // left 1000, 2000, -3; right 7, 8, 9
        {"Klink.WAV", Wav({1000, 7, 2000, 8, -3, 9}, 2), {1000, 2000, -3}, "Klink.DAT"},
        {"m.b.wav", Wav({5, 6, 7, 8, 9}, 1), {5, 6, 7, 8, 9}, "m.b.DAT"}, // mono keeps every sample
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(dir / c.name, c.wav));
        cVek_Sound s, again;
        s.LoadFrom(dir.Path(), c.name);
        EXPECT_EQ(c.samples, SamplesOf(s));
        EXPECT_EQ(44100u << 12, s.Rate());
        EXPECT_FALSE(Exists(dir / c.name));
        std::vector<uint8_t> be;
        for (int16_t v : c.samples)
            be.insert(be.end(), {uint8_t(uint16_t(v) >> 8), uint8_t(v)});
        EXPECT_EQ(be, ReadBytes(dir / c.dat));
        again.LoadFrom(dir.Path(), c.name); // now read from the DAT
        EXPECT_EQ(c.samples, SamplesOf(again));
    }
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
        size_t peakAt = 0;
        for (size_t i = 0; i < v.size(); ++i)
            if (std::abs(v[i]) > std::abs(v[peakAt])) peakAt = i;
        EXPECT_LT(std::abs(v[peakAt]), 32000) << "headroom: no sample at or near full scale";
        EXPECT_GT(std::abs(v[peakAt]), 16000) << "loud enough to be heard at the bank's low volumes";
        EXPECT_LT(1000.0 * double(peakAt) / (44100.0 * c.speed), 10.0) << "attack longer than 10 ms";
        EXPECT_EQ(0, v.front()) << "no click at the start";
        EXPECT_EQ(0, v.back()) << "nor at the end";
    }
}
