// Resource images without GL: the one-time three-bytes-per-pixel conversion of the grey images,
// the material runs, and the font sheets' alpha rule and icon assembly.
#include "TestFiles.h"
#include "resources/ResourceImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

using namespace restest;
using vek::Image8;
using vek::MemBlock;

TEST(ResourceImages, ThreeBytesPerPixelGreyFileIsRewrittenOnceAsOneByte) {
    TempFolder dir;
    std::vector<uint8_t> rgb(393216);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i % 3 == 0 ? (i / 3) * 7 % 251 : 0xEE);
    const std::string path = dir / "pg128.bin";
    ASSERT_TRUE(WriteBytes(path, rgb));

    MemBlock first;
    ASSERT_TRUE(vek::res::ReadGreyImages(path, first));
    ASSERT_EQ(131072u, first.Size());
    const std::vector<uint8_t> rewritten = ReadBytes(path);
    ASSERT_EQ(131072u, rewritten.size());
    for (size_t i = 0; i < rewritten.size(); ++i)
        ASSERT_EQ(uint8_t(i * 7 % 251), rewritten[i]) << i;
    EXPECT_EQ(0, std::memcmp(first.Data(), rewritten.data(), rewritten.size()));

    // The second load reads the grey file as it is and does not write it again.
    const auto stamp = std::filesystem::last_write_time(path);
    MemBlock second;
    ASSERT_TRUE(vek::res::ReadGreyImages(path, second));
    EXPECT_EQ(stamp, std::filesystem::last_write_time(path));
    ASSERT_EQ(131072u, second.Size());
    EXPECT_EQ(0, std::memcmp(first.Data(), second.Data(), second.Size()));
}

TEST(ResourceImages, OddSizedGreyFilesKeepWholeImagesOnlyAndTinyOnesAreRefused) {
    TempFolder dir;
    // 2.5 images of three bytes per pixel: one third is 0.83 images, so nothing is left.
    ASSERT_TRUE(WriteBytes(dir / "a.bin", std::vector<uint8_t>(40960, 1)));
    MemBlock out;
    EXPECT_FALSE(vek::res::ReadGreyImages(dir / "a.bin", out));
    EXPECT_TRUE(out.Empty());
    EXPECT_EQ(40960u, ReadBytes(dir / "a.bin").size()) << "a file that yields nothing is not rewritten";
    // 3 × 2 images and 100 stray bytes: two images.
    ASSERT_TRUE(WriteBytes(dir / "b.bin", std::vector<uint8_t>(3 * 32768 + 100, 9)));
    ASSERT_TRUE(vek::res::ReadGreyImages(dir / "b.bin", out));
    EXPECT_EQ(32768u, out.Size());
    // Plain grey files of fewer images load as they are.
    ASSERT_TRUE(WriteBytes(dir / "c.bin", std::vector<uint8_t>(3 * 16384, 4)));
    ASSERT_TRUE(vek::res::ReadGreyImages(dir / "c.bin", out));
    EXPECT_EQ(49152u, out.Size());
    EXPECT_FALSE(vek::res::ReadGreyImages(dir / "missing.bin", out));
    EXPECT_EQ(49152u, out.Size()) << "a failed read leaves the output alone";
}

TEST(ResourceImages, MaterialJpegSplitsIntoSixRgbRunsInReadingOrder) {
    TempFolder dir;
    Image8 img;
    ASSERT_TRUE(img.Create(128, 768, 3));
    const uint8_t colours[6][3] = {{200, 40, 40},  {40, 200, 40},  {40, 40, 200},
                                   {220, 220, 60}, {60, 220, 220}, {128, 128, 128}};
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 128; ++x)
            std::memcpy(img.Row(y) + x * 3, colours[y / 128], 3);
    ASSERT_TRUE(vek::SaveJpeg(img.View(), 95, dir / "Material128.JPG"));

    MemBlock rgb;
    ASSERT_TRUE(vek::res::ReadMaterialImages(dir / "Material128.JPG", rgb));
    ASSERT_EQ(6u * 16384 * 3, rgb.Size());
    for (int k = 0; k < 6; ++k) {
        // the middle texel of image k, within JPEG's error of its flat colour
        const uint8_t* p = rgb.As<uint8_t>() + (k * 16384 + 64 * 128 + 64) * 3;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(colours[k][c], p[c], 4) << "image " << k << " channel " << c;
    }
    ASSERT_TRUE(WriteBytes(dir / "bad.JPG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0}));
    EXPECT_FALSE(vek::res::ReadMaterialImages(dir / "bad.JPG", rgb));
    EXPECT_EQ(6u * 16384 * 3, rgb.Size());
}

// Alpha = (L − 8) × 255 / 240 truncated and clamped: the floor hides JPEG noise around glyphs.
TEST(ResourceImages, FontAlphaHidesJpegNoiseAndIconsTakeColourFromTheTopAndAlphaFromTheBottom) {
    Image8 grey, alpha, sheet, rgba;
    ASSERT_TRUE(grey.Create(6, 1, 1));
    const uint8_t in[6] = {0, 8, 9, 100, 248, 255};
    std::memcpy(grey.Pixels(), in, 6);
    ASSERT_TRUE(vek::res::FontAlphaFromSheet(grey, alpha));
    ASSERT_EQ(1, alpha.Channels());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 1, 97, 255, 255}), std::vector<uint8_t>(alpha.Pixels(), alpha.Pixels() + 6));

    ASSERT_TRUE(sheet.Create(2, 4, 3));
    const uint8_t rows[4][6] = {
        {10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}, {0, 0, 0, 255, 255, 255}, {100, 100, 100, 128, 128, 128}};
    std::memcpy(sheet.Pixels(), rows, sizeof rows);
    ASSERT_TRUE(vek::res::IconRgbaFromSheet(sheet, rgba));
    ASSERT_EQ(2, rgba.Width());
    ASSERT_EQ(2, rgba.Height());
    EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 0, 40, 50, 60, 255, 70, 80, 90, 97, 100, 110, 120, 127}),
              std::vector<uint8_t>(rgba.Pixels(), rgba.Pixels() + 16));
    ASSERT_TRUE(sheet.Create(2, 3, 3)); // no even split
    EXPECT_FALSE(vek::res::IconRgbaFromSheet(sheet, rgba));
    EXPECT_EQ(2, rgba.Height());
}

// The shipped textures repeat (GL_REPEAT): the mean step across the wrap edge, taken column by
// column and row by row, must be no larger than the largest such step inside the image (a weave
// has regular strong steps between threads, so the mean alone would not do). And not flat.
TEST(ResourceImages, ShippedTexturesAreSeamlessAndTextured) {
    MemBlock grey, rgb;
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "pg128.bin", ReadBytes(std::string(SX_DATA_DIR) + "/pg128.bin")));
    ASSERT_TRUE(vek::res::ReadGreyImages(dir / "pg128.bin", grey));
    ASSERT_EQ(131072u, grey.Size());
    ASSERT_TRUE(vek::res::ReadMaterialImages(std::string(SX_DATA_DIR) + "/Material128.JPG", rgb));
    ASSERT_EQ(6u * 16384 * 3, rgb.Size());

    auto check = [](const uint8_t* t, int channels, const std::string& what) {
        SCOPED_TRACE(what);
        auto px = [&](int x, int y, int c) {
            return double(t[(size_t(y % 128) * 128 + size_t(x % 128)) * channels + c]);
        };
        // step[k]: mean |difference| between column k and k + 1 (and row k and k + 1); 127 wraps
        double colStep[128] = {}, rowStep[128] = {}, mean = 0, var = 0;
        for (int k = 0; k < 128; ++k)
            for (int i = 0; i < 128; ++i)
                for (int c = 0; c < channels; ++c) {
                    colStep[k] += std::abs(px(k, i, c) - px(k + 1, i, c));
                    rowStep[k] += std::abs(px(i, k, c) - px(i, k + 1, c));
                    mean += px(k, i, c);
                }
        mean /= 128.0 * 128 * channels;
        for (int i = 0; i < 128 * 128; ++i)
            for (int c = 0; c < channels; ++c)
                var += (px(i % 128, i / 128, c) - mean) * (px(i % 128, i / 128, c) - mean);
        EXPECT_LE(colStep[127], *std::max_element(colStep, colStep + 127) * 1.05) << "seam at the left edge";
        EXPECT_LE(rowStep[127], *std::max_element(rowStep, rowStep + 127) * 1.05) << "seam at the top edge";
        EXPECT_GT(std::sqrt(var / (128.0 * 128 * channels)), 4.0) << "flat texture";
    };
    for (int k = 0; k < 8; ++k)
        check(grey.As<uint8_t>() + k * 16384, 1, "paper " + std::to_string(k));
    for (int k = 0; k < 6; ++k)
        check(rgb.As<uint8_t>() + k * 16384 * 3, 3, "material " + std::to_string(k));
}
