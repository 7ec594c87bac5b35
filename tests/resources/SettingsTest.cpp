// The settings file: round trips, files written on a big-endian machine, the load rules that keep
// the defaults, record length rules, crash-safe saving and the version check on load.
#include "TestFiles.h"
#include "resources/ProgramState.h"
#include "resources/cVek_Settings.h"
#include "shell/cVek_AppInfo.h"

#include "shell/WholeFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace restest;
using scribbix::ProgramState;

namespace {

// Made outside the program with the documented format and key stream: records 9 (1020003),
// 3 (1, 8, 0, 1), 5 (101..110), 6 (0.25, 0.5, 0.75, 1.0 — four of 128), an unknown 77 (5, 6),
// 10 (4, 99, 98 — three where the table has one) and 4 (2, 0, 7, 9), then the end record.
const uint8_t kBigEndianFile[164] = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x4e, 0xe6, 0xbf, 0xf9, 0x61, 0x0f, 0x94,
    0xad, 0x99, 0x99, 0xad, 0x3e, 0x06, 0xd9, 0x72, 0x23, 0x37, 0x5a, 0x6a, 0xf5, 0x2e, 0xd7, 0x6e, 0x01,
    0xeb, 0x92, 0x58, 0xd1, 0xb7, 0x36, 0x3d, 0x9f, 0x38, 0x97, 0xd6, 0x10, 0x02, 0xa5, 0x9c, 0x28, 0xfd,
    0xeb, 0xb0, 0x8d, 0xbe, 0x30, 0xae, 0x85, 0x27, 0xea, 0xe4, 0x93, 0xd8, 0x88, 0xa8, 0xde, 0x4c, 0x57,
    0xb2, 0xca, 0xb8, 0x78, 0xc6, 0x58, 0xfe, 0xa8, 0x00, 0x3e, 0x43, 0xa2, 0x9b, 0xde, 0x02, 0xac, 0x0a,
    0x6a, 0xb3, 0xf8, 0xa9, 0xfb, 0x4c, 0x6e, 0x55, 0xdc, 0x41, 0x0c, 0x73, 0xc4, 0xcb, 0x31, 0x58, 0xa1,
    0x94, 0xe9, 0xcc, 0x4b, 0x0b, 0x5f, 0x93, 0xcd, 0x0e, 0xd0, 0xae, 0x2b, 0xa1, 0x36, 0xc7, 0x43, 0xdf,
    0x75, 0x04, 0xa4, 0x69, 0x95, 0x5d, 0x1b, 0xee, 0x90, 0x21, 0xba, 0x9a, 0x47, 0xca, 0x52, 0x8e, 0x8e,
    0x51, 0xf9, 0x9e, 0x66, 0x79, 0x89, 0x03, 0xd9, 0xc5, 0x34, 0xc2, 0x15, 0x03, 0x95, 0xdd, 0x1b, 0xb6,
    0xe2, 0xb1, 0x1e, 0xaf, 0x21, 0x19, 0xec, 0xc3, 0x86, 0xdd, 0xed,
};
bool SameState(const ProgramState& a, const ProgramState& b) {
    return std::memcmp(a.versionRecord, b.versionRecord, sizeof a.versionRecord) == 0 &&
           std::memcmp(&a.editor, &b.editor, 4) == 0 && std::memcmp(&a.look, &b.look, 4) == 0 &&
           std::memcmp(a.wipSlots, b.wipSlots, sizeof a.wipSlots) == 0 &&
           std::memcmp(a.palette, b.palette, sizeof a.palette) == 0 && a.selectedColour == b.selectedColour &&
           a.selectedTool == b.selectedTool && a.penSizeIndex == b.penSizeIndex;
}

void ExpectRecordsOfTheSampleFile(const ProgramState& s) {
    EXPECT_EQ(1020003, s.selectedTool);
    EXPECT_EQ(1, s.editor.editorSubPixel);
    EXPECT_EQ(8, s.editor.editorMagnifier);
    EXPECT_EQ(0, s.editor.toolBox[0]);
    EXPECT_EQ(1, s.editor.toolBox[1]);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(101 + i, s.wipSlots[i]);
    // elements beyond a short record stay as they were
    EXPECT_EQ((std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f, 0.0f}), std::vector<float>(s.palette, s.palette + 5));
    EXPECT_EQ(4, s.penSizeIndex) << "a longer record loads only the table's count";
    EXPECT_EQ(2, s.look.colourScheme) << "records after a long one are still found";
    EXPECT_EQ(0, s.look.look);
    EXPECT_EQ(6, s.selectedColour) << "a record the file lacks keeps its default";
}

ProgramState Modified() {
    ProgramState s;
    s.editor = {1, 32, {0, 1}};
    s.look = {5, 0, {9, 8}};
    for (int i = 0; i < 10; ++i)
        s.wipSlots[i] = i * 1000 - 3;
    for (int i = 0; i < 128; ++i)
        s.palette[i] = float(i) / 7.0f - 2.0f;
    s.selectedColour = 23;
    s.selectedTool = 8;
    s.penSizeIndex = 0;
    return s;
}

} // namespace

TEST(Settings, SaveThenLoadRestoresEveryRecordAndRewritesTheSameBytes) {
    TempFolder dir;
    ProgramState saved = Modified();
    auto out = scribbix::CreateSettings(saved, nullptr, nullptr);
    ASSERT_TRUE(out->SaveFile(dir / "DATA2.BIN"));
    EXPECT_EQ(100u, saved.versionRecord[2]) << "saving records the writing program's version";

    ProgramState loaded;
    auto in = scribbix::CreateSettings(loaded, nullptr, nullptr);
    ASSERT_TRUE(in->LoadFile(dir / "DATA2.BIN"));
    EXPECT_TRUE(SameState(saved, loaded));

    ASSERT_TRUE(in->SaveFile(dir / "again.bin"));
    EXPECT_EQ(ReadBytes(dir / "DATA2.BIN"), ReadBytes(dir / "again.bin"));
    // 12-byte header, eight records with their 8-byte heads (16 + 4 + 4 + 40 + 512 + 4 + 4 + 4
    // payload bytes) and the 8-byte end record.
    EXPECT_EQ(12u + 8 * 8 + 588 + 8, ReadBytes(dir / "DATA2.BIN").size());
}

TEST(Settings, BigEndianFileLoadsWithEveryWordReversedAndAnyDamageOrOverrunLeavesTheDefaults) {
    ProgramState s;
    ASSERT_TRUE(scribbix::CreateSettings(s, nullptr, nullptr)->Parse(kBigEndianFile, sizeof kBigEndianFile));
    ExpectRecordsOfTheSampleFile(s);

    const ProgramState defaults;
    const std::vector<uint8_t> good(kBigEndianFile, kBigEndianFile + sizeof kBigEndianFile);
    const std::pair<size_t, uint8_t> flips[] = {
        {20, 0x10}, {77, 0x10}, {good.size() - 1, 0x10}, // a payload or end-record bit
        {11, 1},                                         // the checksum itself
        {7, 1},                                          // the marker
        {3, 1},                                          // word 0 counts in the sum
    };
    std::vector<std::vector<uint8_t>> bad = {{}, std::vector<uint8_t>(good.begin(), good.begin() + 23)};
    for (const auto& f : flips) {
        bad.push_back(good);
        bad.back()[f.first] ^= f.second;
    }
    // A header and a record 10 claiming 100 bytes in a 28-byte file: the checksum is right, so only
    // the record walk can catch it. Built unscrambled, then scrambled like a saved file.
    bad.push_back(std::vector<uint8_t>(28, 0));
    uint8_t* b = bad.back().data();
    b[4] = 12, b[12] = 10, b[16] = 100, b[20] = 1;
    cVek_Settings::Scramble(b, 28);
    const uint32_t sum = cVek_Settings::Checksum(b, 28);
    std::memcpy(b + 8, &sum, 4);
    bad.push_back(good); // out of memory while loading
    for (size_t i = 0; i < bad.size(); ++i) {
        ProgramState t;
        auto settings = scribbix::CreateSettings(t, nullptr, nullptr);
        vek::MemFailAfter(i + 1 == bad.size() ? 1 : 0);
        EXPECT_FALSE(settings->Parse(bad[i].data(), bad[i].size())) << i;
        vek::MemFailAfter(0);
        EXPECT_TRUE(SameState(defaults, t)) << i;
    }
}

TEST(Settings, OutOfRangeIndexesFromAFileFallBackToDefaults) {
    TempFolder dir;
    ProgramState bad;
    bad.penSizeIndex = 99;
    bad.selectedColour = -4;
    bad.palette[5] = std::numeric_limits<float>::quiet_NaN();
    bad.editor.editorMagnifier = 0;
    auto out = scribbix::CreateSettings(bad, nullptr, nullptr);
    ASSERT_TRUE(out->SaveFile(dir / "bad.bin"));

    ProgramState s;
    bool applied = false, fromFile = false;
    auto in = scribbix::CreateSettings(
        s, [&](bool f) { applied = true, fromFile = f; }, nullptr);
    ASSERT_TRUE(in->LoadFile(dir / "bad.bin"));
    EXPECT_TRUE(applied && fromFile);
    EXPECT_EQ(3, s.penSizeIndex);
    EXPECT_EQ(6, s.selectedColour);
    EXPECT_EQ(0.0f, s.palette[5]);
    EXPECT_EQ(16, s.editor.editorMagnifier);
}

TEST(Settings, FailedSaveKeepsTheOldFileAndReportsFailure) {
    TempFolder dir;
    ProgramState s = Modified();
    auto settings = scribbix::CreateSettings(s, nullptr, nullptr);
    ASSERT_TRUE(settings->SaveFile(dir / "DATA2.BIN"));
    const std::vector<uint8_t> before = ReadBytes(dir / "DATA2.BIN");
    s.penSizeIndex = 5;
    vek::FailFileWritesAfter(100); // the disk fills up part-way
    EXPECT_FALSE(settings->SaveFile(dir / "DATA2.BIN"));
    vek::FailFileWritesAfter(-1);
    EXPECT_EQ(before, ReadBytes(dir / "DATA2.BIN"));
}

TEST(Settings, LivesInVekstalSxBelowTheConfigFolderAndRunsTheVersionCheck) {
    TempFolder dir;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);

    ProgramState s = Modified();
    auto settings = scribbix::CreateSettings(s, nullptr, nullptr);
    ASSERT_TRUE(settings->Save());
    EXPECT_TRUE(Exists(dir / "Vekstal/Sx/DATA2.BIN"));

    // A file written by version 0.9.0: loading upgrades the record to 1.0.0, level 4.
    s.versionRecord[2] = 90;
    settings->beforeSave = nullptr;
    ASSERT_TRUE(settings->Save());
    ProgramState loaded;
    auto in = scribbix::CreateSettings(loaded, nullptr, nullptr);
    {
        cVek_AppInfo info;
        ASSERT_TRUE(in->Load());
        EXPECT_EQ(4, info.UpgradeLevel());
        EXPECT_EQ(100u, loaded.versionRecord[2]);
    }

    if (old)
        setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
