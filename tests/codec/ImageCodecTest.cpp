// PNG and JPEG codec: round trips, reference files built without libpng, a malformed-file corpus
// (truncations, corruptions, absurd sizes), allocation failures and replacing file writes.
#include "platform/ImageCodec.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <jpeglib.h>
#include <cstring>
#include <dirent.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
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

std::vector<uint8_t> Bytes(const vek::MemBlock& b) {
    const uint8_t* p = b.As<uint8_t>();
    return std::vector<uint8_t>(p, p + b.Size());
}

std::vector<uint8_t> Pixels(const vek::Image8& img) {
    return std::vector<uint8_t>(img.Pixels(), img.Pixels() + img.Bytes());
}

// A sentinel image; a failed decode must leave it exactly like this.
vek::Image8 Sentinel() {
    vek::Image8 img = RandomImage(3, 2, 4, 99);
    img.gamma = 1.25;
    return img;
}

void ExpectSentinel(const vek::Image8& img) {
    vek::Image8 ref = Sentinel();
    ASSERT_EQ(img.Width(), 3);
    EXPECT_EQ(img.Channels(), 4);
    EXPECT_EQ(img.gamma, 1.25);
    EXPECT_EQ(Pixels(img), Pixels(ref));
}

TEST(Png, RoundTripKeepsEveryByteForEachChannelCount) {
    for (int channels : {1, 3, 4}) {
        vek::Image8 src = RandomImage(37, 11, channels, unsigned(channels));
        vek::MemBlock file;
        ASSERT_TRUE(vek::EncodePng(src.View(), file));
        vek::Image8 back;
        ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back, channels)) << vek::ImageCodecError();
        EXPECT_EQ(back.Width(), 37);
        EXPECT_EQ(back.Height(), 11);
        EXPECT_EQ(Pixels(back), Pixels(src)) << channels << " channels";
    }
}

TEST(Png, EncoderHonoursRowStride) {
    vek::Image8 wide = RandomImage(10, 4, 4, 5);
    vek::ImageView v = wide.View();
    v.width = 6; // left 6 columns, rows still 40 bytes apart
    vek::MemBlock file;
    ASSERT_TRUE(vek::EncodePng(v, file));
    vek::Image8 back;
    ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back));
    ASSERT_EQ(back.Width(), 6);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(0, std::memcmp(back.Row(y), wide.Row(y), 24)) << "row " << y;
}

TEST(Png, GammaIsStoredAsGamaChunkAndReadBack) {
    vek::Image8 src = RandomImage(4, 4, 3, 1);
    src.gamma = 2.2;
    vek::MemBlock file;
    ASSERT_TRUE(vek::EncodePng(src.View(), file));
    std::vector<uint8_t> b = Bytes(file);
    auto it = std::search(b.begin(), b.end(), "gAMA", "gAMA" + 4);
    ASSERT_NE(it, b.end());
    const uint32_t stored = uint32_t(it[4]) << 24 | uint32_t(it[5]) << 16 | uint32_t(it[6]) << 8 | it[7];
    EXPECT_EQ(stored, 45455u);
    vek::Image8 back;
    ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back));
    EXPECT_NEAR(back.gamma, 100000.0 / 45455.0, 1e-9);

    src.gamma = 0;
    ASSERT_TRUE(vek::EncodePng(src.View(), file));
    b = Bytes(file);
    EXPECT_EQ(std::search(b.begin(), b.end(), "gAMA", "gAMA" + 4), b.end());
    ASSERT_TRUE(vek::DecodePng(file.Data(), file.Size(), back));
    EXPECT_EQ(back.gamma, 0.0);
}

TEST(Png, ReferenceFilesDecodeToExpectedPixels) {
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
        ASSERT_EQ(img.Channels(), c.channels) << c.name;
        ASSERT_EQ(img.Width(), c.w);
        ASSERT_EQ(img.Height(), c.h);
        EXPECT_EQ(Pixels(img), std::vector<uint8_t>(c.pixels, c.pixels + img.Bytes())) << c.name;
    }
    // Asked for RGB, the palette file drops its alpha; asked for RGBA, the RGB file gains 255.
    vek::Image8 img;
    ASSERT_TRUE(vek::DecodePng(kPalette4BitFile, sizeof kPalette4BitFile, img, 3));
    EXPECT_EQ(img.Row(0)[3], 0); // second pixel: green
    EXPECT_EQ(img.Row(0)[4], 255);
    ASSERT_TRUE(vek::DecodePng(kInterlacedRgbFile, sizeof kInterlacedRgbFile, img, 4));
    EXPECT_EQ(img.Row(4)[4 * 4 + 3], 255);
    EXPECT_EQ(img.Row(4)[4 * 4 + 2], kInterlacedRgbPixels[24 * 3 + 2]);
}

TEST(Jpeg, RoundTripStaysCloseAndQualityZeroIsTheDefault75) {
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
    ASSERT_EQ(back.Channels(), 3);
    int worst = 0;
    for (size_t i = 0; i < src.Bytes(); ++i)
        worst = std::max(worst, std::abs(back.Pixels()[i] - src.Pixels()[i]));
    EXPECT_LE(worst, 6);
    // RGBA input: alpha is dropped, colours kept; decoding to 4 channels gives opaque alpha.
    vek::Image8 rgba;
    ASSERT_TRUE(rgba.Create(8, 8, 4));
    std::memset(rgba.Pixels(), 200, rgba.Bytes());
    ASSERT_TRUE(vek::EncodeJpeg(rgba.View(), 100, q90));
    ASSERT_TRUE(vek::DecodeImage(q90.Data(), q90.Size(), back, 4));
    EXPECT_NEAR(back.Pixels()[0], 200, 1);
    EXPECT_EQ(back.Pixels()[3], 255);
}

TEST(Jpeg, GreyAndAdobeCmykFilesDecodeToRgb) {
    vek::Image8 grey;
    ASSERT_TRUE(grey.Create(16, 16, 1));
    std::memset(grey.Pixels(), 90, grey.Bytes());
    vek::MemBlock file;
    ASSERT_TRUE(vek::EncodeJpeg(grey.View(), 100, file));
    vek::Image8 back;
    ASSERT_TRUE(vek::DecodeJpeg(file.Data(), file.Size(), back));
    ASSERT_EQ(back.Channels(), 3);
    EXPECT_NEAR(back.Pixels()[0], 90, 1);
    EXPECT_NEAR(back.Pixels()[2], 90, 1);

    // Three 8 × 8 blocks stored the Adobe way (0 = full ink): no ink, full cyan, full black.
    const uint8_t stored[3][4] = {{255, 255, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 0}};
    std::vector<uint8_t> cmyk(24 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 24; ++x)
            std::memcpy(&cmyk[(y * 24 + x) * 4], stored[x / 8], 4);
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
    while (c.next_scanline < 8) {
        JSAMPROW row = &cmyk[c.next_scanline * 24 * 4];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    const bool ok = vek::DecodeJpeg(mem, memSize, back, 4);
    free(mem);
    ASSERT_TRUE(ok) << vek::ImageCodecError();
    const int expect[3][3] = {{255, 255, 255}, {0, 255, 255}, {0, 0, 0}};
    for (int b = 0; b < 3; ++b)
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(back.Row(4)[(b * 8 + 4) * 4 + i], expect[b][i], 3) << b << "," << i;
    EXPECT_EQ(back.Row(4)[3], 255);
}

// Every prefix of a valid file is refused, the output stays as it was and nothing leaks.
TEST(MalformedFiles, EveryTruncationIsRefusedWithoutTouchingOutput) {
    vek::MemBlock png, jpg;
    ASSERT_TRUE(vek::EncodePng(RandomImage(9, 7, 4, 3).View(), png));
    ASSERT_TRUE(vek::EncodeJpeg(Gradient(24, 16).View(), 80, jpg));
    const size_t live = vek::MemLiveBlocks();
    for (const vek::MemBlock* f : {&png, &jpg}) {
        for (size_t n = 0; n < f->Size(); ++n) {
            vek::Image8 out = Sentinel();
            EXPECT_FALSE(vek::DecodeImage(f->Data(), n, out)) << "prefix " << n << " of " << f->Size();
            ExpectSentinel(out);
        }
    }
    EXPECT_EQ(vek::MemLiveBlocks(), live);
}

// Random byte damage may or may not be detected, but never crashes, and a refusal changes nothing.
TEST(MalformedFiles, CorruptedBytesNeverCrashAndRefusalsChangeNothing) {
    vek::MemBlock png, jpg;
    ASSERT_TRUE(vek::EncodePng(RandomImage(16, 16, 3, 4).View(), png));
    ASSERT_TRUE(vek::EncodeJpeg(Gradient(32, 32).View(), 80, jpg));
    std::mt19937 rng(12345);
    int refused = 0;
    for (const vek::MemBlock* f : {&png, &jpg}) {
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
}

TEST(MalformedFiles, AbsurdSizesAreRefusedBeforeAllocating) {
    vek::Image8 out = Sentinel();
    const size_t bytes = vek::MemLiveBytes();
    EXPECT_FALSE(vek::DecodePng(kHugeSidesFile, sizeof kHugeSidesFile, out));
    EXPECT_FALSE(vek::DecodePng(kHugeAreaFile, sizeof kHugeAreaFile, out));
    EXPECT_STREQ(vek::ImageCodecError(), "image too large");
    EXPECT_EQ(vek::MemLiveBytes(), bytes);
    // A real JPEG whose frame header is patched to 60000 × 60000.
    vek::MemBlock jpg;
    ASSERT_TRUE(vek::EncodeJpeg(Gradient(16, 16).View(), 50, jpg));
    std::vector<uint8_t> b = Bytes(jpg);
    size_t sof = 0;
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_NE(sof, 0u);
    b[sof + 5] = b[sof + 7] = 60000 >> 8;
    b[sof + 6] = b[sof + 8] = 60000 & 0xFF;
    EXPECT_FALSE(vek::DecodeJpeg(b.data(), b.size(), out));
    EXPECT_STREQ(vek::ImageCodecError(), "image too large");
    ExpectSentinel(out);
    EXPECT_FALSE(out.Create(70000, 1, 4));
    EXPECT_FALSE(out.Create(20000, 20000, 3));
    EXPECT_FALSE(out.Create(4, 4, 2));
    ExpectSentinel(out);
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
            EXPECT_EQ(Bytes(again), std::vector<uint8_t>(3, 7));
        }
    }
    EXPECT_TRUE(decoded && encoded);
    EXPECT_EQ(vek::MemLiveBlocks(), live);
}

class FileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/sx_codec_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { ASSERT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        DIR* d = opendir(dir_.c_str());
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
        closedir(d);
        return names;
    }
    std::string ReadAll(const std::string& path) {
        vek::MemBlock b;
        if (!vek::ReadWholeFile(path, b)) return "<unreadable>";
        return std::string(b.As<char>(), b.Size());
    }
    std::string dir_;
};

TEST_F(FileTest, SavedPngLoadsBackAndReplacesOldFile) {
    const std::string path = dir_ + "/pic.png";
    ASSERT_TRUE(vek::WriteFileReplacing(path, "old", 3));
    vek::Image8 src = RandomImage(13, 5, 3, 21);
    ASSERT_TRUE(vek::SavePng(src.View(), path));
    vek::Image8 back;
    ASSERT_TRUE(vek::LoadImageFile(path, back));
    EXPECT_EQ(Pixels(back), Pixels(src));
    EXPECT_EQ(Names(), std::vector<std::string>{"pic.png"});
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u) << "file must not stay private like a temporary file";
}

TEST_F(FileTest, FailedWriteReportsFailureAndLeavesOldFile) {
    const std::string path = dir_ + "/keep.png";
    ASSERT_TRUE(vek::WriteFileReplacing(path, "precious", 8));
    // The disk "fills up": writes beyond 4 KB fail.
    std::vector<char> big(1 << 20, 'x');
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit low = old;
    low.rlim_cur = 4096;
    auto prev = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    const bool ok = vek::WriteFileReplacing(path, big.data(), big.size());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, prev);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadAll(path), "precious");
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.png"}) << "temporary file left behind";

    // A folder in the way of the file name, and a missing folder.
    ASSERT_EQ(mkdir((dir_ + "/sub").c_str(), 0755), 0);
    ASSERT_TRUE(vek::WriteFileReplacing(dir_ + "/sub/x", "1", 1));
    EXPECT_FALSE(vek::WriteFileReplacing(dir_ + "/sub", "abc", 3));
    EXPECT_EQ(ReadAll(dir_ + "/sub/x"), "1");
    EXPECT_FALSE(vek::WriteFileReplacing(dir_ + "/missing/x.png", "abc", 3));
    EXPECT_EQ(Names().size(), 2u);

    if (geteuid() != 0) { // root writes into read-only folders anyway
        ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
        EXPECT_FALSE(vek::WriteFileReplacing(path, "new", 3));
        chmod(dir_.c_str(), 0755);
        EXPECT_EQ(ReadAll(path), "precious");
    }
}

TEST_F(FileTest, ReadWholeFileRefusesFoldersAndOversizedFiles) {
    vek::MemBlock b;
    EXPECT_FALSE(vek::ReadWholeFile(dir_, b));
    ASSERT_TRUE(vek::WriteFileReplacing(dir_ + "/f", "0123456789", 10));
    EXPECT_FALSE(vek::ReadWholeFile(dir_ + "/f", b, 9));
    EXPECT_TRUE(b.Empty());
    ASSERT_TRUE(vek::ReadWholeFile(dir_ + "/f", b, 10));
    EXPECT_EQ(std::string(b.As<char>(), b.Size()), "0123456789");
}

} // namespace
