// PNG and JPEG codec: round trips through memory and files, reference files built without libpng,
// a malformed-file corpus (truncations, corruptions, absurd sizes and working memory) and
// allocation failures, each refusal leaving the output exactly as it was.
#include "platform/ImageCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

#include "PngCases.inc"

vek::Image8 RandomImage(int w, int h, int channels, unsigned seed) {
    vek::Image8 img;
    EXPECT_TRUE(img.Create(w, h, channels));
    std::mt19937 rng(seed);
    for (size_t i = 0; i < img.Bytes(); ++i)
        img.Pixels()[i] = uint8_t(rng());
    return img;
}

// Smooth content, so JPEG's error stays small.
vek::Image8 Gradient(int w, int h) {
    vek::Image8 img;
    EXPECT_TRUE(img.Create(w, h, 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.Row(y) + 3 * x;
            p[0] = uint8_t(x * 255 / (w - 1)), p[1] = uint8_t(y * 255 / (h - 1)), p[2] = 128;
        }
    return img;
}

std::vector<uint8_t> Bytes(const void* p, size_t n) {
    return std::vector<uint8_t>(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
}
std::vector<uint8_t> Bytes(const vek::MemBlock& b) {
    return Bytes(b.Data(), b.Size());
}
std::vector<uint8_t> Pixels(const vek::Image8& img) {
    return Bytes(img.Pixels(), img.Bytes());
}

// A sentinel image; a failed decode must leave it exactly like this.
vek::Image8 Sentinel() {
    vek::Image8 img = RandomImage(3, 2, 4, 99);
    img.gamma = 1.25;
    return img;
}
void ExpectSentinel(const vek::Image8& img) {
    EXPECT_EQ(img.gamma, 1.25);
    EXPECT_EQ(Pixels(img), Pixels(Sentinel()));
}

// A progressive JPEG header (tables, frame, one DC scan, end): the library must keep every
// coefficient of a w × h × n image before its first output row.
std::vector<uint8_t> ProgressiveHeader(int w, int h, int n) {
    std::vector<uint8_t> f = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    f.insert(f.end(), 64, 1);
    f.insert(f.end(), {0xFF, 0xC2, 0, uint8_t(8 + 3 * n), 8, uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8),
                       uint8_t(w), uint8_t(n)});
    for (int i = 1; i <= n; ++i)
        f.insert(f.end(), {uint8_t(i), 0x11, 0});
    f.insert(f.end(), {0xFF, 0xC4, 0, 20, 0, 1});
    f.insert(f.end(), 16, 0);
    f.insert(f.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0, 0, 0, 0, 0xFF, 0xD9});
    return f;
}

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "sx_codec_" + std::to_string(getpid()) + name;
}

TEST(Png, RoundTripKeepsEveryByteForEachChannelCountRowStrideAndFile) {
    for (int channels : {1, 3, 4}) {
        vek::Image8 wide = RandomImage(37, 11, channels, unsigned(channels));
        vek::ImageView v = wide.View();
        v.width = 30; // left 30 columns, rows still 37 pixels apart
        vek::MemBlock file;
        ASSERT_TRUE(vek::EncodePng(v, file));
        vek::Image8 back;
        ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back, channels)) << vek::ImageCodecError();
        ASSERT_EQ(30, back.Width());
        ASSERT_EQ(11, back.Height());
        for (int y = 0; y < 11; ++y)
            EXPECT_EQ(Bytes(wide.Row(y), 30 * channels), Bytes(back.Row(y), 30 * channels)) << channels;
    }
    const std::string path = TempPath("a.png");
    vek::Image8 src = RandomImage(13, 5, 3, 21), back;
    ASSERT_TRUE(vek::SavePng(src.View(), path));
    ASSERT_TRUE(vek::LoadImageFile(path, back));
    EXPECT_EQ(Pixels(src), Pixels(back));
    std::remove(path.c_str());
    EXPECT_FALSE(vek::SavePng(src.View(), TempPath("missing/a.png")));
    EXPECT_STREQ("cannot write file", vek::ImageCodecError());
}

TEST(Png, GammaIsStoredAsGamaChunkAndReadBackAndAbsentWithoutIt) {
    for (double gamma : {2.2, 0.0}) {
        vek::Image8 src = RandomImage(4, 4, 3, 1);
        src.gamma = gamma;
        vek::MemBlock file;
        ASSERT_TRUE(vek::EncodePng(src.View(), file));
        const std::vector<uint8_t> b = Bytes(file);
        const auto it = std::search(b.begin(), b.end(), "gAMA", "gAMA" + 4);
        vek::Image8 back;
        ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back));
        if (gamma == 0) {
            EXPECT_EQ(b.end(), it);
            EXPECT_EQ(0.0, back.gamma);
            continue;
        }
        ASSERT_NE(b.end(), it);
        EXPECT_EQ(45455u, uint32_t(it[4]) << 24 | uint32_t(it[5]) << 16 | uint32_t(it[6]) << 8 | it[7]);
        EXPECT_NEAR(100000.0 / 45455.0, back.gamma, 1e-9);
    }
}

TEST(Png, ReferenceFilesDecodeToExpectedPixelsAndConvertChannels) {
    struct Case {
        const char* name;
        const uint8_t* file;
        size_t size;
        int w, h, channels;
        const uint8_t* pixels;
    } cases[] = {
        {"palette+tRNS", kPalette4BitFile, sizeof kPalette4BitFile, 3, 2, 4, kPalette4BitPixels},
        {"grey+alpha 16", kGreyAlpha16File, sizeof kGreyAlpha16File, 2, 2, 4, kGreyAlpha16Pixels},
        {"Adam7", kInterlacedRgbFile, sizeof kInterlacedRgbFile, 5, 5, 3, kInterlacedRgbPixels},
    };
    for (const Case& c : cases) {
        vek::Image8 img;
        ASSERT_TRUE(vek::DecodePng(c.file, c.size, img)) << c.name << ": " << vek::ImageCodecError();
        ASSERT_EQ(c.channels, img.Channels()) << c.name;
        ASSERT_EQ(c.w * c.h, img.Width() * img.Height()) << c.name;
        EXPECT_EQ(Bytes(c.pixels, img.Bytes()), Pixels(img)) << c.name;
    }
    // Asked for RGB, the palette file drops its alpha; asked for RGBA, the RGB file gains 255.
    vek::Image8 img;
    ASSERT_TRUE(vek::DecodePng(kPalette4BitFile, sizeof kPalette4BitFile, img, 3));
    EXPECT_EQ(Bytes(kPalette4BitPixels + 4, 3), Bytes(img.Row(0) + 3, 3)); // second pixel
    ASSERT_TRUE(vek::DecodePng(kInterlacedRgbFile, sizeof kInterlacedRgbFile, img, 4));
    EXPECT_EQ(255, img.Row(4)[4 * 4 + 3]);
    EXPECT_EQ(kInterlacedRgbPixels[24 * 3 + 2], img.Row(4)[4 * 4 + 2]);
}

TEST(Jpeg, RoundTripStaysCloseQualityZeroIsTheDefault75AndAlphaIsDropped) {
    vek::Image8 src = Gradient(64, 48);
    vek::MemBlock q90, q0, q75, q10;
    ASSERT_TRUE(vek::EncodeJpeg(src.View(), 90, q90));
    ASSERT_TRUE(vek::EncodeJpeg(src.View(), 0, q0));
    ASSERT_TRUE(vek::EncodeJpeg(src.View(), 75, q75));
    ASSERT_TRUE(vek::EncodeJpeg(src.View(), 10, q10));
    EXPECT_EQ(Bytes(q0), Bytes(q75));
    EXPECT_LT(q10.Size(), q90.Size());
    vek::Image8 back;
    ASSERT_TRUE(vek::DecodeJpeg(q90.Data(), q90.Size(), back)) << vek::ImageCodecError();
    ASSERT_EQ(3, back.Channels());
    int worst = 0;
    for (size_t i = 0; i < src.Bytes(); ++i)
        worst = std::max(worst, std::abs(back.Pixels()[i] - src.Pixels()[i]));
    EXPECT_LE(worst, 6);
    vek::Image8 rgba;
    ASSERT_TRUE(rgba.Create(8, 8, 4));
    std::memset(rgba.Pixels(), 200, rgba.Bytes());
    const std::string path = TempPath("a.jpg");
    ASSERT_TRUE(vek::SaveJpeg(rgba.View(), 100, path));
    ASSERT_TRUE(vek::LoadImageFile(path, back, 4));
    std::remove(path.c_str());
    EXPECT_NEAR(200, back.Pixels()[0], 1);
    EXPECT_EQ(255, back.Pixels()[3]);
}

TEST(Jpeg, GreyAndAdobeCmykFilesDecodeToRgb) {
    vek::Image8 grey;
    ASSERT_TRUE(grey.Create(16, 16, 1));
    std::memset(grey.Pixels(), 90, grey.Bytes());
    vek::MemBlock file;
    ASSERT_TRUE(vek::EncodeJpeg(grey.View(), 100, file));
    vek::Image8 back;
    ASSERT_TRUE(vek::DecodeJpeg(file.Data(), file.Size(), back));
    ASSERT_EQ(3, back.Channels());
    EXPECT_NEAR(90, back.Pixels()[0], 1);
    EXPECT_NEAR(90, back.Pixels()[2], 1);

    // Three 8 × 8 blocks stored the Adobe way (0 = full ink): no ink, full cyan, full black.
    const uint8_t stored[3][4] = {{255, 255, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 0}};
    std::vector<uint8_t> cmyk(24 * 8 * 4);
    for (size_t i = 0; i < cmyk.size(); ++i)
        cmyk[i] = stored[i / 4 % 24 / 8][i % 4];
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&c, &mem, &memSize);
    c.image_width = 24, c.image_height = 8, c.input_components = 4, c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    for (JSAMPROW row = cmyk.data(); c.next_scanline < 8; row += 24 * 4)
        jpeg_write_scanlines(&c, &row, 1);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    const bool ok = vek::DecodeJpeg(mem, memSize, back, 4);
    free(mem);
    ASSERT_TRUE(ok) << vek::ImageCodecError();
    const int expect[3][4] = {{255, 255, 255, 255}, {0, 255, 255, 255}, {0, 0, 0, 255}};
    for (int b = 0; b < 3; ++b)
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(expect[b][i], back.Row(4)[(b * 8 + 4) * 4 + i], 3) << b << "," << i;
}

// Every prefix of a valid file is refused, the output stays as it was and nothing leaks; random
// byte damage may go unnoticed but never crashes, and a refusal changes nothing.
TEST(MalformedFiles, TruncatedAndCorruptedFilesNeverCrashAndRefusalsChangeNothing) {
    vek::MemBlock png, jpg;
    ASSERT_TRUE(vek::EncodePng(RandomImage(9, 7, 4, 3).View(), png));
    ASSERT_TRUE(vek::EncodeJpeg(Gradient(24, 16).View(), 80, jpg));
    const size_t live = vek::MemLiveBlocks();
    std::mt19937 rng(12345);
    int refused = 0;
    for (const vek::MemBlock* f : {&png, &jpg}) {
        for (size_t n = 0; n < f->Size(); ++n) {
            vek::Image8 out = Sentinel();
            EXPECT_FALSE(vek::DecodeImage(f->Data(), n, out)) << "prefix " << n << " of " << f->Size();
            ExpectSentinel(out);
        }
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> b = Bytes(*f);
            for (int k = 0; k < 3; ++k)
                b[8 + rng() % (b.size() - 8)] ^= uint8_t(1 + rng() % 255);
            vek::Image8 out = Sentinel();
            if (!vek::DecodeImage(b.data(), b.size(), out)) {
                ++refused;
                ExpectSentinel(out);
            }
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(live, vek::MemLiveBlocks());
}

TEST(MalformedFiles, AbsurdSizesAreRefusedBeforeAllocating) {
    vek::Image8 out = Sentinel();
    const size_t bytes = vek::MemLiveBytes();
    EXPECT_FALSE(vek::DecodePng(kHugeSidesFile, sizeof kHugeSidesFile, out));
    EXPECT_FALSE(vek::DecodePng(kHugeAreaFile, sizeof kHugeAreaFile, out));
    EXPECT_STREQ("image too large", vek::ImageCodecError());
    EXPECT_EQ(bytes, vek::MemLiveBytes());
    const std::vector<uint8_t> huge = ProgressiveHeader(60000, 60000, 3);
    EXPECT_FALSE(vek::DecodeJpeg(huge.data(), huge.size(), out));
    EXPECT_STREQ("image too large", vek::ImageCodecError());
    EXPECT_FALSE(out.Create(70000, 1, 4));
    EXPECT_FALSE(out.Create(20000, 20000, 3));
    EXPECT_FALSE(out.Create(4, 4, 2));
    ExpectSentinel(out);
}

// 126 bytes describing a progressive 16384 × 8192 colour image would make the library keep
// 768 MB of coefficients (and fill a 384 MB image from nothing); the same form at a modest size
// decodes, so the refusal is the working-memory limit.
TEST(MalformedFiles, ProgressiveHeaderNeedingMoreWorkingMemoryThanTheLimitIsRefused) {
    vek::Image8 out = Sentinel();
    const std::vector<uint8_t> greedy = ProgressiveHeader(16384, 8192, 3);
    EXPECT_FALSE(vek::DecodeJpeg(greedy.data(), greedy.size(), out));
    EXPECT_STREQ("JPEG needs too much memory", vek::ImageCodecError());
    ExpectSentinel(out);
    const std::vector<uint8_t> modest = ProgressiveHeader(512, 256, 3);
    ASSERT_TRUE(vek::DecodeJpeg(modest.data(), modest.size(), out)) << vek::ImageCodecError();
    EXPECT_EQ(512, out.Width());
}

TEST(AllocationFailure, EachFailingAllocationLeavesOutputsUntouched) {
    vek::Image8 src = RandomImage(20, 20, 4, 8);
    vek::MemBlock file;
    ASSERT_TRUE(vek::EncodePng(src.View(), file));
    const std::vector<uint8_t> good = Bytes(file);
    const size_t live = vek::MemLiveBlocks();
    bool decoded = false, encoded = false;
    for (int n = 1; n < 20 && !(decoded && encoded); ++n) {
        vek::Image8 out = Sentinel();
        vek::MemFailAfter(n);
        decoded = vek::DecodePng(good.data(), good.size(), out);
        vek::MemFailAfter(0);
        if (!decoded) ExpectSentinel(out);
        vek::MemBlock again;
        ASSERT_TRUE(again.Alloc(3));
        std::memset(again.Data(), 7, 3);
        vek::MemFailAfter(n);
        encoded = vek::EncodeJpeg(src.View(), 0, again);
        vek::MemFailAfter(0);
        if (!encoded) {
            EXPECT_EQ(std::vector<uint8_t>(3, 7), Bytes(again));
        }
    }
    EXPECT_TRUE(decoded && encoded);
    EXPECT_EQ(live, vek::MemLiveBlocks());
}

} // namespace
