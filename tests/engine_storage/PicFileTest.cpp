// The picture file format: byte-exact round trips, the reader rules (names, id list, view mode and
// factor clamping), and refusal of malformed files without leaks or partial pictures.
#include "engine/storage/c_TesPicFile.h"
#include "StoreKit.h"

#include "engine/picture/c_TesLayer_Gfx.h"
#include "shell/MemoryBudget.h"

#include <gtest/gtest.h>

using sxtest::NewPicture;
using sxtest::Snapshot;
using sxtest::Stroke;

namespace {

std::vector<uint8_t> Image(c_TesPic& pic, const char* name, bool pixels = true) {
    vek::MemBlock out;
    EXPECT_TRUE(c_TesPicFile::WritePictureImage(pic, name, pixels, out));
    const auto* p = out.As<uint8_t>();
    return std::vector<uint8_t>(p, p + out.Size());
}

const c_VekFil_Chunk* TopChunk(const std::vector<uint8_t>& file, uint32_t tag, c_VekFil_ChunkReader& keep) {
    keep = c_VekFil_ChunkReader(file.data(), file.size());
    return keep.Find(tag);
}

std::unique_ptr<c_TesPic> TwoLayerPicture() {
    auto pic = NewPicture(40, 30, "Cat");
    Stroke(*pic, 3, 4, 5, 6, {1.0f, 0.5f, 0.25f, 1.0f}, false);
    c_TesLayer* second = pic->AddColourLayer();
    second->SetName("Sky");
    second->opacity = 60;
    Stroke(*pic, 30, 20, 7, 9, {0.0f, 2.5f, -0.5f, 0.5f}, false); // HDR and negative colour survive
    return pic;
}

} // namespace

TEST(PictureFile, WriteReadWriteIsByteExactAndPixelsAndAHiddenCurrentLayerSurvive) {
    auto pic = TwoLayerPicture();
    pic->currentLayer->Hide();
    const auto before = Snapshot(*pic->currentLayer);
    const auto first = Image(*pic, pic->name);
    EXPECT_EQ(before, Snapshot(*pic->currentLayer)); // writing leaves the current layer expanded
    auto back = c_TesPicFile::ReadPicture(first.data(), first.size());
    ASSERT_NE(nullptr, back);
    EXPECT_TRUE(std::string("Cat") == back->name && back->LayerCount() == 2);
    ASSERT_NE(nullptr, back->currentLayer);
    EXPECT_EQ(0, back->currentLayer->visible);
    EXPECT_EQ(before, Snapshot(*back->currentLayer));
    EXPECT_EQ(first, Image(*back, back->name));
}

TEST(PictureFile, NamesOfFourEightTwentyCharactersCarryNoTerminator) {
    const std::vector<std::pair<std::string, size_t>> cases = {
        {"Abcd", 4}, {"Abcdefgh", 8}, {"Abcdefghijklmnopqrst", 20}, {"Abcde", 8}};
    for (const auto& [name, payload] : cases) {
        auto pic = NewPicture(4, 4, name.c_str());
        const auto file = Image(*pic, name.c_str());
        c_VekFil_ChunkReader r(nullptr, 0);
        const c_VekFil_Chunk* c = TopChunk(file, kTesTagName, r);
        ASSERT_NE(nullptr, c) << name;
        EXPECT_EQ(payload, c->size) << name;
        auto back = c_TesPicFile::ReadPicture(file.data(), file.size());
        ASSERT_NE(nullptr, back);
        EXPECT_EQ(name, back->name);
    }
}

TEST(PictureFile, IdListEndsWithSelectionThenTerminator) {
    auto pic = NewPicture(6, 6);
    pic->AddColourLayer();
    auto ids = [&]() {
        vek::MemBlock b;
        EXPECT_TRUE(c_TesPicFile::WritePortfolioHeader(*pic, b));
        c_VekFil_ChunkReader r(b.Data(), b.Size());
        const c_VekFil_Chunk* c = r.Find(kTesTagIdList);
        std::vector<int32_t> out;
        for (size_t i = 0; c && i < c->size; i += 4)
            out.push_back(c->I32(i));
        return out;
    };
    EXPECT_EQ((std::vector<int32_t>{1, 2, 0}), ids());
    ASSERT_NE(nullptr, pic->GetSelection());
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 0}), ids());
}

TEST(PictureFile, ViewModeZeroAndFactorsOutsideRangeReadAsOne) {
    auto pic = NewPicture(8, 8);
    pic->viewMode = 3;
    pic->magnification = 7;
    pic->reduction = 1000000;
    auto file = Image(*pic, "x");
    auto back = c_TesPicFile::ReadPicture(file.data(), file.size());
    ASSERT_NE(nullptr, back);
    EXPECT_TRUE(back->viewMode == 3 && back->magnification == 7 && back->reduction == 1000000);

    // Patch the stored values: view mode 0, magnification 0.0, reduction 1000001.0, then NaN.
    c_VekFil_ChunkReader r(nullptr, 0);
    const size_t flagsAt = TopChunk(file, kTesTagFlags, r)->data - file.data();
    const size_t viewAt = TopChunk(file, kTesTagView, r)->data - file.data();
    file[flagsAt + 2] = 0;
    const uint8_t zero[4] = {0, 0, 0, 0}, big[4] = {0x10, 0x24, 0x74, 0x49}, nan[4] = {0, 0, 0xC0, 0x7F};
    std::memcpy(&file[viewAt + 8], zero, 4);
    std::memcpy(&file[viewAt + 12], big, 4);
    back = c_TesPicFile::ReadPicture(file.data(), file.size());
    ASSERT_NE(nullptr, back);
    EXPECT_TRUE(back->viewMode == 1 && back->magnification == 1 && back->reduction == 1);
    file[flagsAt + 2] = 6;
    std::memcpy(&file[viewAt + 8], nan, 4);
    back = c_TesPicFile::ReadPicture(file.data(), file.size());
    ASSERT_NE(nullptr, back);
    EXPECT_TRUE(back->viewMode == 1 && back->magnification == 1);
}

TEST(PictureFile, PictureLargerThanMemoryBudgetIsRefusedBeforeAllocating) {
    auto pic = NewPicture(64, 64);
    auto file = Image(*pic, "x");
    vek::SetMemoryBudgetOverride(64);
    c_VekFil_ChunkReader r(nullptr, 0);
    const size_t sizeAt = TopChunk(file, kTesTagSize, r)->data - file.data();
    const int32_t big[2] = {4096, 4096}; // 256 MB for one colour layer
    std::memcpy(&file[sizeAt], big, 8);
    const size_t before = vek::MemLiveBlocks();
    EXPECT_EQ(nullptr, c_TesPicFile::ReadPicture(file.data(), file.size()));
    EXPECT_EQ(before, vek::MemLiveBlocks());
    vek::SetMemoryBudgetOverride(0);
}

TEST(PictureFile, AllocationFailureGivesWholePictureOrNothingAndAFailedWriteKeepsOutputAndLayer) {
    auto pic = TwoLayerPicture();
    pic->GetSelection();
    const auto layer = Snapshot(*pic->currentLayer);
    vek::MemBlock out;
    ASSERT_TRUE(out.Alloc(5));
    vek::MemFailAfter(1);
    EXPECT_FALSE(c_TesPicFile::WritePictureImage(*pic, pic->name, true, out));
    vek::MemFailAfter(0);
    EXPECT_TRUE(out.Size() == 5u && layer == Snapshot(*pic->currentLayer));
    const auto file = Image(*pic, pic->name);
    const size_t before = vek::MemLiveBlocks();
    int successes = 0;
    for (int n = 1; n <= 40; ++n) {
        vek::MemFailAfter(n);
        auto back = c_TesPicFile::ReadPicture(file.data(), file.size());
        vek::MemFailAfter(0);
        if (back) {
            ++successes;
            EXPECT_TRUE(back->LayerCount() == 2 && back->selection);
        }
        back.reset();
        EXPECT_EQ(before, vek::MemLiveBlocks()) << "leak with failure at allocation " << n;
    }
    EXPECT_GT(successes, 0);
}

TEST(LayerHeader, PortfolioFormKeepsThumbnailAndOmitsId) {
    auto pic = NewPicture(10, 10);
    c_TesLayer& l = *pic->currentLayer;
    l.thumbnail.Alloc(16);
    std::memset(l.thumbnail.Data(), 0xAB, 16);
    l.blendOn = 1;
    l.blendMode = 3;
    l.visible = 0;
    l.SetCompact(true);
    vek::MemBlock b;
    c_VekFil_ChunkWriter w(b);
    c_TesPicFile::WriteLayerHeader(l, w, c_TesPicFile::kFormPortfolio);
    ASSERT_TRUE(w.Finish());
    c_VekFil_ChunkReader r(b.Data(), b.Size());
    EXPECT_EQ(nullptr, r.Find(kTesLayTagId));
    auto back = c_TesPicFile::ReadLayerHeader(b.As<uint8_t>(), b.Size());
    ASSERT_NE(nullptr, back);
    EXPECT_STREQ("Ink", back->name);
    EXPECT_TRUE(back->thumbnail.Size() == 16u && back->thumbnail.As<uint8_t>()[15] == 0xAB);
    EXPECT_TRUE(back->visible == 0 && back->blendOn == 1 && back->blendMode == 3 && back->compacted == 1);
    EXPECT_TRUE(back->headerDirty == 0 && !back->HasPixels());
}
