// The exporter: colour encoding against Python-computed literals, flattening rules, the PNG that
// lands in the export folder, file names, and failures that must leave files and picture alone.
// The program's own export folder and its refusal are the studio's and the e2e session's.
#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesExport.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "platform/ImageCodec.h"
#include "shell/FolderService.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

// Records what the exporter hands over and returns a small fake file.
class CaptureEncoder : public cTes_ImageEncoder {
  public:
    bool Encode(int, const uint8_t* pixels, int width, int height, int channels, size_t stride, int,
                vek::MemBlock& out) override {
        ++calls;
        c = channels;
        bytes.clear();
        for (int y = 0; y < height; ++y)
            bytes.insert(bytes.end(), pixels + size_t(y) * stride,
                         pixels + size_t(y) * stride + size_t(width) * channels);
        if (fail || !out.Alloc(4)) return false;
        std::memcpy(out.Data(), "FAKE", 4);
        return true;
    }
    int calls = 0, c = 0;
    bool fail = false;
    std::vector<uint8_t> bytes;
};

// A picture whose single layer "Ink" holds the given pixels (4 floats each).
std::unique_ptr<c_TesPic> MakePicture(int w, int h, const std::vector<float>& px, const char* name = "Art") {
    auto pic = std::make_unique<c_TesPic>(w, h);
    c_TesLayer_Gfx* ink = pic->AddColourLayer();
    EXPECT_NE(ink, nullptr);
    ink->SetName("Ink");
    std::memcpy(ink->Pixels(), px.data(), px.size() * sizeof(float));
    ink->MarkChanged(0, 0, w, h);
    pic->SetName(name);
    return pic;
}

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/sx_export_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        pictures_ = root_ + "/Pictures";
        ASSERT_TRUE(vek::FolderService::MakePath(pictures_));
        setenv("XDG_PICTURES_DIR", pictures_.c_str(), 1);
        exporter_.SetEncoder(&capture_);
    }
    void TearDown() override {
        unsetenv("XDG_PICTURES_DIR");
        c_VekFil_Disk::FailWritesAfter(-1);
        ASSERT_EQ(system(("rm -rf '" + root_ + "'").c_str()), 0);
    }
    std::vector<std::string> Names(const std::string& dir) {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
            closedir(d);
        }
        return names;
    }
    s_TesExportPars Pars(int format = 3, int transparency = 0, int includeHidden = 0) {
        s_TesExportPars p;
        p.format = format, p.transparency = transparency, p.includeHidden = includeHidden;
        return p;
    }

    std::string root_, pictures_;
    CaptureEncoder capture_;
    cTes_Export exporter_;
};

TEST(EncodingCurve, TableMatchesPythonAtBoundaryAndEnds) {
    std::vector<float> t(4096);
    tes::BuildEncodingCurve(t.data(), 4096);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_FLOAT_EQ(t[1], 0.0031550670973956585f);
    EXPECT_FLOAT_EQ(t[12], 0.03786080703139305f); // 12/4095 lies below 0.0031308: linear part
    EXPECT_FLOAT_EQ(t[13], 0.04100408777594566f); // 13/4095 above it: power part
    EXPECT_FLOAT_EQ(t[2047], 0.7352765798568726f);
    EXPECT_FLOAT_EQ(t[4094], 0.9998926520347595f);
    EXPECT_EQ(t[4095], 1.0f);
}

TEST(EncodingCurve, ByteConversionRoundsHalfUpAndClampsNonFiniteValues) {
    const std::pair<float, int> cases[] = {{0.5f, 128},  {0.998f, 254}, {0.0019f, 0},
                                           {0.002f, 1},  {1.5f, 255},   {-0.3f, 0},
                                           {-0.002f, 0}, {NAN, 0},      {INFINITY, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, tes::ToByte(c.first)) << c.first;
}

// Values from Python: sRGB table with linear interpolation, then v·255 + 0.5 truncated.
TEST_F(ExportTest, FlattenEncodesLinearLightToSrgbBytes) {
    auto pic =
        MakePicture(4, 1, {0.5f, 0, 1, 1, 0.2f, 0.9f, 0.25f, 1, 0.002f, 0.0031308f, 2, 1, -0.5f, 1, 0, 1});
    pic->paperColour[0] = pic->paperColour[1] = pic->paperColour[2] = 0.0f;
    vek::MemBlock out;
    int32_t w = 0, h = 0, c = 0;
    ASSERT_TRUE(exporter_.FlattenAndEncode(*pic, false, false, out, w, h, c));
    ASSERT_TRUE(w == 4 && h == 1 && c == 3);
    EXPECT_EQ(std::vector<uint8_t>(out.As<uint8_t>(), out.As<uint8_t>() + 12),
              (std::vector<uint8_t>{188, 0, 255, 124, 243, 137, 7, 10, 255, 0, 255, 0}));
}

TEST_F(ExportTest, OpaquePaperUnderHalfTransparentStrokeEvenWithPaperOff) {
    auto pic = MakePicture(2, 1, {1, 0, 0, 0.5f, 0, 0, 0, 0});
    pic->paperOn = 0; // the export paints the paper whatever this flag says
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get()));
    EXPECT_EQ(capture_.c, 3);
    EXPECT_EQ(capture_.bytes, (std::vector<uint8_t>{255, 188, 188, 255, 255, 255}));

    // With transparency: no paper, straight alpha in a fourth byte.
    ASSERT_TRUE(exporter_.ExportPicture(Pars(3, 1), pic.get()));
    EXPECT_EQ(capture_.c, 4);
    EXPECT_EQ(capture_.bytes, (std::vector<uint8_t>{255, 0, 0, 128, 0, 0, 0, 0}));
}

TEST_F(ExportTest, ExportedPngInScribbixFolderDecodesToExpectedPixels) {
    auto pic = MakePicture(2, 1, {1, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f, 1});
    exporter_.SetEncoder(&vek::PlatformImageEncoder());
    exporter_.SetOverrideName("Drawing 3 (1234567890)");
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get()));
    const std::string path = pictures_ + "/Scribbix/Drawing 3 (1234567890).png";
    EXPECT_EQ(exporter_.WrittenPath(), path);
    EXPECT_EQ(Names(pictures_ + "/Scribbix"), std::vector<std::string>{"Drawing 3 (1234567890).png"});
    vek::Image8 img;
    ASSERT_TRUE(vek::LoadImageFile(path, img)) << vek::ImageCodecError();
    EXPECT_EQ(img.Channels(), 3) << "the program's export is opaque RGB";
    ASSERT_EQ(img.Width(), 2);
    EXPECT_EQ(std::vector<uint8_t>(img.Pixels(), img.Pixels() + 6),
              (std::vector<uint8_t>{255, 188, 188, 188, 188, 188}));
    EXPECT_NEAR(img.gamma, 2.2, 1e-4);
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get())); // the override served one export
    EXPECT_EQ(exporter_.WrittenPath(), pictures_ + "/Scribbix/Art.png");
}

TEST_F(ExportTest, FileNameIsTheFontTextMadeSafeInUtf8AndAnOverrideServesOneExportEvenWhenItFails) {
    auto pic = MakePicture(1, 1, {1, 1, 1, 1}, "\x8e:b/c*d"); // font encoding: é
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get()));
    EXPECT_EQ(exporter_.WrittenPath(), pictures_ + "/Scribbix/\xc3\xa9 b c d.png");
    pic->SetName("Pic");
    exporter_.SetOverrideName("Stale");
    capture_.fail = true;
    EXPECT_FALSE(exporter_.ExportPicture(Pars(), pic.get()));
    capture_.fail = false;
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get()));
    EXPECT_EQ(exporter_.WrittenPath(), pictures_ + "/Scribbix/Pic.png");
}

TEST_F(ExportTest, IncludeHiddenDrawsHiddenLayersWithoutShowingThemAndKeepsTheCurrentLayer) {
    auto pic = MakePicture(1, 1, {0, 0, 1, 1});
    c_TesLayer* bottom = pic->currentLayer;
    c_TesLayer_Gfx* top = pic->AddColourLayer();
    ASSERT_NE(top, nullptr);
    pic->SetCurrent(bottom);
    bottom->Hide();
    ASSERT_TRUE(exporter_.ExportPicture(Pars(), pic.get()));
    EXPECT_EQ((std::vector<uint8_t>{255, 255, 255}), capture_.bytes);
    ASSERT_TRUE(exporter_.ExportPicture(Pars(3, 0, 1), pic.get()));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 255}), capture_.bytes);
    EXPECT_EQ(bottom, pic->currentLayer);
    EXPECT_EQ(0, bottom->visible);
    EXPECT_EQ(0, bottom->compacted);
    EXPECT_EQ(1, top->visible);
}

TEST_F(ExportTest, FailedWriteReportsFailureAndKeepsOldFile) {
    auto pic = MakePicture(1, 1, {1, 1, 1, 1}, "Keep");
    ASSERT_TRUE(vek::FolderService::MakePath(pictures_ + "/Scribbix"));
    ASSERT_TRUE(c_VekFil_Disk::WriteWhole(pictures_ + "/Scribbix/Keep.png", "old", 3));
    c_VekFil_Disk::FailWritesAfter(0);
    EXPECT_FALSE(exporter_.ExportPicture(Pars(), pic.get()));
    c_VekFil_Disk::FailWritesAfter(-1);
    EXPECT_EQ(exporter_.WrittenPath(), "");
    vek::MemBlock kept;
    ASSERT_TRUE(c_VekFil_Disk::ReadWhole(pictures_ + "/Scribbix/Keep.png", kept, 16));
    EXPECT_EQ(std::string(kept.As<char>(), kept.Size()), "old");
    EXPECT_EQ(Names(pictures_ + "/Scribbix"), std::vector<std::string>{"Keep.png"});
    EXPECT_TRUE(exporter_.output.Empty());
}

TEST_F(ExportTest, UnsupportedFormatsMissingPiecesAndTheCompositeOnlyFormatWriteNothingAndMakeNoFolder) {
    auto pic = MakePicture(1, 1, {1, 1, 1, 1});
    for (int format : {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, -3})
        EXPECT_FALSE(exporter_.ExportPicture(Pars(format), pic.get())) << "format " << format;
    EXPECT_FALSE(exporter_.ExportPicture(Pars(), nullptr));
    c_TesPic empty(4, 4);
    EXPECT_FALSE(exporter_.ExportPicture(Pars(), &empty));
    cTes_Export noEncoder;
    EXPECT_FALSE(noEncoder.ExportPicture(Pars(), pic.get()));
    EXPECT_TRUE(exporter_.ExportPicture(Pars(14), pic.get()));
    EXPECT_EQ("", exporter_.WrittenPath());
    EXPECT_EQ(0, capture_.calls);
    EXPECT_TRUE(Names(pictures_).empty());
}

TEST_F(ExportTest, AllocationFailureAnywhereWritesNothingAndLeavesPicture) {
    auto pic = MakePicture(3, 3, std::vector<float>(36, 0.5f), "Mem");
    bool ok = false;
    for (int n = 1; n < 40 && !ok; ++n) {
        vek::MemFailAfter(n);
        ok = exporter_.ExportPicture(Pars(), pic.get());
        vek::MemFailAfter(0);
        if (!ok) {
            EXPECT_TRUE(Names(pictures_ + "/Scribbix").empty()) << "after failing allocation " << n;
            EXPECT_EQ(pic->currentLayer->compacted, 0);
            EXPECT_EQ(pic->currentLayer->Pixels()[0], 0.5f);
        }
    }
    EXPECT_TRUE(ok);
}

} // namespace
