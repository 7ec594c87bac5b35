// scribbix-render and its script interpreter: recorded strokes in tests/data/strokes replayed and
// checked, its outputs (a PNG file that libpng opens, the raw float dump), refusals of bad lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RenderScript.h"
#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cVek_ToolBox.h"
#include "platform/ImageCodec.h"

namespace {

std::string Stroke(const char* name) {
    return std::string(SX_STROKE_DATA) + "/" + name;
}

const float* Px(scribbix::RenderScript& r, int x, int y) {
    c_TesLayer* ink = r.Picture()->bottomLayer;
    return ink->Pixels() + (static_cast<size_t>(y) * ink->width + x) * 4;
}

} // namespace

TEST(RenderScript, ThePenCurveBecomesAPngFileThatLibpngOpens) {
    const std::string png = ::testing::TempDir() + "render_check.png";
    std::remove(png.c_str());
    ASSERT_EQ(std::system((std::string(SX_RENDER) + " " + Stroke("pen_curve.txt") + " --png " + png).c_str()),
              0);
    std::ifstream file(png, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    vek::Image8 image;
    ASSERT_TRUE(vek::DecodePng(bytes.data(), bytes.size(), image)) << vek::ImageCodecError();
    EXPECT_EQ(image.Width(), 320);
    EXPECT_EQ(image.Height(), 200);
    EXPECT_EQ(image.Channels(), 3);
    // Paper (1, 0.98, 0.9) in sRGB is (255, 253, 243); the blue ink is much darker in red.
    EXPECT_EQ(image.Row(0)[0], 255);
    EXPECT_NEAR(image.Row(0)[2], 243, 1);
    EXPECT_LT(image.Row(100)[40 * 3], 100);
    scribbix::RenderScript r;
    ASSERT_TRUE(r.RunFile(Stroke("pen_curve.txt"))) << r.Error();
    vek::MemBlock rgba;
    ASSERT_TRUE(r.EncodePng(true, rgba));
    ASSERT_TRUE(vek::DecodePng(rgba.Data(), rgba.Size(), image));
    EXPECT_EQ(image.Channels(), 4);
    EXPECT_EQ(image.Row(0)[3], 0); // transparent where nothing was painted
}

TEST(RenderScript, RawOutputIsLittleEndianFloatRgbaOfThePicture) {
    scribbix::RenderScript r;
    ASSERT_TRUE(r.Run("picture 3 2\nrect 1 1 1 1 0.5 -2 3.25 1\n")) << r.Error();
    vek::MemBlock raw;
    ASSERT_TRUE(r.EncodeRaw(raw));
    ASSERT_EQ(raw.Size(), 96u);
    const uint8_t* p = raw.As<uint8_t>() + (1 * 3 + 1) * 16;
    // 0.5f = 0x3F000000, -2.0f = 0xC0000000, 3.25f = 0x40500000, 1.0f = 0x3F800000, low byte first.
    const uint8_t expected[16] = {0, 0, 0, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0x50, 0x40, 0, 0, 0x80, 0x3F};
    EXPECT_EQ(std::memcmp(p, expected, 16), 0);
    EXPECT_EQ(raw.As<uint8_t>()[15], 0);
}

TEST(RecordedStrokes, WaxProtectsAndTheRightButtonLineErases) {
    scribbix::RenderScript r;
    ASSERT_TRUE(r.RunFile(Stroke("right_button_line.txt"))) << r.Error();
    EXPECT_GT(Px(r, 60, 40)[3], 0.99f);       // the 3D Pen stroke
    EXPECT_EQ(Px(r, 100, 40)[3], 0.0f);       // under the wax
    EXPECT_EQ(Px(r, 50, 90)[3], 0.0f);        // erased along the line from (20, 90) to (140, 90)
    EXPECT_FLOAT_EQ(Px(r, 100, 90)[3], 1.0f); // the wax kept it
    EXPECT_FLOAT_EQ(Px(r, 50, 82)[3], 1.0f);  // the moves at y 85 and 95 did not erase
}

TEST(RenderScript, BadLinesAreRefusedWithTheirNumberAndChangeNothing) {
    const char* bad[][2] = {
        {"picture 0 10\n", "line 1: picture WIDTH HEIGHT"},
        {"picture 10 10\nset size left 900\n", "line 2: size takes a whole number from 1 to 251"},
        {"picture 10 10\nset hardness left 5\n", "line 2: set SETTING"},
        {"press 1 1 0\n", "line 1: no picture yet"},
        {"picture 10 10\nbrush 3\n", "line 2: unknown command \"brush\""},
        {"picture 10 10\ntool 99\n", "line 2: no tool with id 99"},
        {"picture 10 10\nmove 1 nan 0\n", "line 2: move X Y TIME"},
        {"picture 10 10\ncatalogue engine\ncatalogue program\n", "line 3: the catalogue is chosen once"},
        {"picture 100000 100000\n", "line 1: picture WIDTH HEIGHT"},
    };
    for (const auto& b : bad) {
        scribbix::RenderScript r;
        EXPECT_FALSE(r.Run(b[0])) << b[0];
        EXPECT_EQ(r.Error().rfind(b[1], 0), 0u) << r.Error();
    }
    scribbix::RenderScript r;
    ASSERT_FALSE(r.Run("picture 8 8 # comment\ncatalogue program\nfill 1 0 0 1\nset strength both 0\n"));
    ASSERT_NE(r.ToolBox(), nullptr);
    EXPECT_EQ(Px(r, 3, 3)[0], 1.0f);
    EXPECT_EQ(r.ToolBox()->strength[0], 100); // the bad line changed nothing
}

TEST(RenderScript, ReplaysGiveTheSameFloatsAndTheRandomSeedDecidesTheSprinkles) {
    auto render = [](const std::string& script, vek::MemBlock& out) {
        scribbix::RenderScript r;
        ASSERT_TRUE(script.empty() ? r.RunFile(Stroke("smear_scene.txt")) : r.Run(script)) << r.Error();
        ASSERT_TRUE(r.EncodeRaw(out));
    };
    auto sprinkles = [](const char* seed) {
        return std::string("picture 120 60\ncatalogue program\ntool 8\nset size left 21\nrandom ") + seed +
               "\npress 10 30 0\nmove 60 30 0.05\nrelease 110 30 0.1\n";
    };
    vek::MemBlock a, b, c, d, e;
    render("", a);
    render("", b);
    ASSERT_EQ(a.Size(), size_t(240) * 180 * 16);
    EXPECT_EQ(std::memcmp(a.Data(), b.Data(), a.Size()), 0);
    render(sprinkles("12345"), c);
    render(sprinkles("12345"), d);
    render(sprinkles("777"), e);
    ASSERT_EQ(c.Size(), e.Size());
    EXPECT_EQ(std::memcmp(c.Data(), d.Data(), c.Size()), 0);
    EXPECT_NE(std::memcmp(c.Data(), e.Data(), c.Size()), 0);
}
