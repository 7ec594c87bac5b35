// The portfolio on disk: first start, restart, folder names and renaming, duplicate and missing
// numbers, fitting blank drawings to the screen, slots, and saves that fail or are cut short.
#include "app/Portfolio.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "StoreKit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using sxtest::FilesIn;
using sxtest::ReadBytes;
using sxtest::Snapshot;
using sxtest::Start;
using sxtest::Stroke;

TEST(Portfolio, FirstStartCreatesNonameInkPictureNumberedOneAndRestartFindsItByteForByte) {
    sxtest::TempFolder t;
    {
        auto p = Start(64, 48);
        ASSERT_EQ(1, p->PictureCount());
        c_TesPic* pic = p->currentPicture;
        ASSERT_NE(nullptr, pic);
        EXPECT_STREQ("Noname", pic->name);
        EXPECT_TRUE(pic->nameNumber == 1 && pic->pictureNumber == 1 && pic->viewMode == 3);
        EXPECT_TRUE(pic->width == 64 && pic->height == 48 && pic->LayerCount() == 1);
        EXPECT_STREQ("Ink", pic->bottomLayer->name);
    }
    const std::string root = t.Portfolio();
    EXPECT_EQ((std::vector<std::string>{"Noname_1", "Portfolio_Data"}), FilesIn(root));
    EXPECT_EQ((std::vector<std::string>{"0000000001.LayHead", "0000000001.LayMap", "Pic.Head"}),
              FilesIn(root + "/Noname_1"));
    const std::vector<uint8_t> pfo = {40, 0, 0, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                      1,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(pfo, ReadBytes(root + "/Portfolio_Data/Pfo.Head"));

    auto again = Start(64, 48);
    ASSERT_TRUE(again->PictureCount() == 1 && again->currentPicture);
    EXPECT_EQ(1, again->currentPicture->pictureNumber);
    EXPECT_EQ((std::vector<std::string>{"Noname_1", "Portfolio_Data"}), FilesIn(root));
    Stroke(*again->currentPicture, 10, 5, 9, 9, {0.2f, 0.4f, 0.8f, 1.0f});
    const auto drawn = Snapshot(*again->currentPicture->currentLayer);
    ASSERT_TRUE(again->SavePortfolio());
    again.reset();
    again = Start(64, 48);
    EXPECT_FALSE(again->currentPicture->emptyFlag);
    EXPECT_EQ(drawn, Snapshot(*again->currentPicture->currentLayer));
}

TEST(Portfolio, FolderNameTurnsSlashAndColonIntoSpacesAndFollowsNameChanges) {
    sxtest::TempFolder t;
    auto p = Start(32, 32);
    c_TesPic* pic = p->CreatePicture(32, 32, "a/b:c");
    ASSERT_NE(nullptr, pic);
    ASSERT_NE(nullptr, pic->AddColourLayer());
    ASSERT_TRUE(p->SavePortfolio());
    const std::string root = t.Portfolio();
    EXPECT_TRUE(fs::is_regular_file(root + "/a b c_2/Pic.Head"));
    std::strcpy(pic->name, "Sunset");
    ASSERT_TRUE(p->EnterPictureFolder(*pic, false));
    EXPECT_FALSE(fs::exists(root + "/a b c_2"));
    EXPECT_TRUE(fs::is_regular_file(root + "/Sunset_2/Pic.Head"));
    EXPECT_TRUE(fs::is_regular_file(root + "/Sunset_2/0000000001.LayMap"));
}

TEST(Portfolio, DuplicatePictureNumberGoesToTheFolderFoundSecondAndANameNumberGapCloses) {
    sxtest::TempFolder t;
    {
        auto p = Start(16, 16);
        p->CreateBlankPicture();
        p->CreateBlankPicture();
        ASSERT_TRUE(p->SavePortfolio());
    }
    const std::string root = t.Portfolio();
    fs::copy_file(root + "/Noname_1/Pic.Head", root + "/Noname_2/Pic.Head",
                  fs::copy_options::overwrite_existing);
    fs::rename(root + "/Noname_3", root + "/Noname_4"); // name numbers 1, 2, 4
    auto p = Start(16, 16);
    ASSERT_EQ(3, p->PictureCount());
    std::vector<std::pair<int32_t, int32_t>> numbers; // (name number, picture number)
    for (c_TesPic* q = p->firstPicture; q; q = q->next)
        numbers.emplace_back(q->nameNumber, q->pictureNumber);
    std::sort(numbers.begin(), numbers.end());
    // The highest picture number stored was 3: the second folder with number 1 gets 4.
    EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 4}, {3, 3}}), numbers);
    EXPECT_TRUE(p->highestNameNumber == 3 && p->highestPictureNumber == 4);
    EXPECT_TRUE(fs::is_regular_file(root + "/Noname_3/Pic.Head"));
    EXPECT_FALSE(fs::exists(root + "/Noname_4"));
}

TEST(Portfolio, BlankDrawingTakesTheScreensSizeButADrawingKeepsItsOwn) {
    sxtest::TempFolder t;
    int32_t drawnNumber = 0;
    std::vector<uint8_t> drawn;
    {
        auto p = Start(60, 40);
        ASSERT_EQ(60, p->currentPicture->width);
        c_TesPic* art = p->CreateBlankPicture();
        Stroke(*art, 50, 30, 5, 5, {1, 0, 0, 1});
        drawn = Snapshot(*art->currentLayer);
        drawnNumber = art->pictureNumber;
        ASSERT_TRUE(p->SavePortfolio());
    }
    // Turned to a portrait screen, then cut or widened to one of another shape.
    for (auto [w, h] : {std::pair{40, 60}, std::pair{50, 70}}) {
        auto p = Start(w, h);
        c_TesPic* blank = p->FindPicture(1);
        ASSERT_NE(nullptr, blank);
        p->SetCurrentPicture(blank);
        EXPECT_TRUE(blank->width == w && blank->height == h && blank->centreX == w / 2 &&
                    blank->centreY == h / 2);
        c_TesPic* art = p->FindPicture(drawnNumber);
        p->SetCurrentPicture(art);
        EXPECT_TRUE(art->width == 60 && art->height == 40);
        EXPECT_EQ(drawn, Snapshot(*art->currentLayer));
    }
}

TEST(Portfolio, KillDuringSaveLeavesPreviousFilesReadable) {
    sxtest::TempFolder t;
    sxtest::InjectionOff off;
    std::vector<uint8_t> saved;
    {
        auto p = Start(64, 48);
        Stroke(*p->currentPicture, 4, 4, 20, 20, {0.1f, 0.9f, 0.3f, 1.0f});
        ASSERT_TRUE(p->SavePortfolio());
        saved = Snapshot(*p->currentPicture->currentLayer);
    }
    // Cut points across the layer header, the 49 kB pixel file, "Pic.Head" and "Pfo.Head", and
    // beyond the end (where the save completes and becomes the state to find next time).
    std::vector<int64_t> limits;
    for (int64_t b = 0; b < 58000; b += 1777)
        limits.push_back(b);
    for (int64_t b = 54400; b < 55400; b += 60)
        limits.push_back(b);
    // A save that fails after the picture's files were committed (in "Pfo.Head") leaves the new
    // picture: either state is whole, never a mixture.
    std::vector<uint8_t> attempt = saved;
    int failed = 0;
    for (size_t i = 0; i < limits.size(); ++i) {
        c_VekFil_Disk::FailWritesAfter(-1); // "restart"
        auto p = Start(64, 48);
        ASSERT_NE(nullptr, p->currentPicture);
        ASSERT_NE(nullptr, p->currentPicture->currentLayer) << "after a kill at byte " << limits[i - (i > 0)];
        const auto found = Snapshot(*p->currentPicture->currentLayer);
        ASSERT_TRUE(found == saved || found == attempt) << "after a kill at byte " << limits[i - (i > 0)];
        saved = found;
        for (const std::string& f : FilesIn(t.Portfolio() + "/Noname_1"))
            EXPECT_FALSE(c_VekFil_Disk::IsTemporaryName(f)) << "stray " << f << " not cleaned up on load";
        Stroke(*p->currentPicture, 0, 0, 64, 48, {float(i) / 64.0f, 1, 1, 0.5f});
        attempt = Snapshot(*p->currentPicture->currentLayer);
        c_VekFil_Disk::FailWritesAfter(limits[i], true);
        if (p->SavePortfolio()) {
            saved = attempt;
        } else {
            ++failed;
        }
    }
    EXPECT_GE(failed, 30);
    c_VekFil_Disk::FailWritesAfter(-1);
    EXPECT_EQ(saved, Snapshot(*Start(64, 48)->currentPicture->currentLayer));
}

TEST(Portfolio, FailedSaveWithReleaseKeepsPixelsAndDirtyFlags) {
    sxtest::TempFolder t;
    sxtest::InjectionOff off;
    auto p = Start(32, 32);
    c_TesPic* pic = p->currentPicture;
    Stroke(*pic, 1, 1, 5, 5, {1, 0, 1, 1});
    const auto drawn = Snapshot(*pic->currentLayer);
    c_VekFil_Disk::FailWritesAfter(0);
    EXPECT_FALSE(p->SavePicture(*pic, false, true));
    c_VekFil_Disk::FailWritesAfter(-1);
    ASSERT_TRUE(pic->currentLayer->HasPixels());
    EXPECT_TRUE(pic->currentLayer->pixelsDirty == 1 && drawn == Snapshot(*pic->currentLayer));
}

TEST(Portfolio, SlotSwitchReleasesPixelsAndReloadsThemLazily) {
    sxtest::TempFolder t;
    auto p = Start(32, 24);
    p->NormalizeSlots();
    EXPECT_EQ(1, p->slots[0]);
    c_TesPic* first = p->currentPicture;
    Stroke(*first, 3, 3, 4, 4, {0, 0, 1, 1});
    const auto drawn = Snapshot(*first->currentLayer);
    ASSERT_TRUE(p->ChooseSlot(4));
    EXPECT_TRUE(first != p->currentPicture && p->slots[4] == 2 && !first->bottomLayer->HasPixels());
    EXPECT_EQ("Drawing 1", p->SlotCaption(0)); // known from the header, without loading
    ASSERT_TRUE(p->ChooseSlot(0));
    EXPECT_EQ(first, p->currentPicture);
    EXPECT_EQ(drawn, Snapshot(*first->currentLayer));
    p->slots[7] = 1; // a second slot of the same picture is emptied
    p->NormalizeSlots();
    EXPECT_EQ(0, p->slots[7]);
}

TEST(Portfolio, DestroyingTheOnlyPictureIsRefusedAndDestroyRemovesFolder) {
    sxtest::TempFolder t;
    auto p = Start(16, 16);
    EXPECT_FALSE(p->DestroyPicture(p->currentPicture));
    c_TesPic* second = p->CreateBlankPicture();
    ASSERT_TRUE(p->SavePortfolio());
    ASSERT_TRUE(fs::exists(t.Portfolio() + "/Noname_2"));
    EXPECT_TRUE(p->DestroyPicture(second));
    ASSERT_TRUE(p->PictureCount() == 1 && p->currentPicture);
    EXPECT_EQ(1, p->currentPicture->pictureNumber);
    EXPECT_FALSE(fs::exists(t.Portfolio() + "/Noname_2"));
}

TEST(Portfolio, UnreadablePictureFolderIsLeftAloneAndItsNameNumberNotReused) {
    sxtest::TempFolder t;
    fs::create_directories(t.Portfolio() + "/Noname_1");
    sxtest::WriteBytes(t.Portfolio() + "/Noname_1/Pic.Head", {1, 2, 3});
    auto p = Start(16, 16);
    ASSERT_EQ(1, p->PictureCount());
    EXPECT_EQ(2, p->currentPicture->nameNumber);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), ReadBytes(t.Portfolio() + "/Noname_1/Pic.Head"));
}

TEST(Portfolio, DrawingWhoseOnlyLayerCannotBeReadGetsAFreshPaintableLayerAndKeepsTheFiles) {
    // A damaged layer header, and a damaged pixel file (which once left a layer without pixels that
    // no tool could paint, not even after "Clear Drawing").
    for (const char* damaged : {"0000000001.LayHead", "0000000001.LayMap"}) {
        sxtest::TempFolder t;
        {
            auto p = Start(16, 16);
            Stroke(*p->currentPicture, 1, 1, 3, 3, {1, 1, 1, 1});
            ASSERT_TRUE(p->SavePortfolio());
        }
        const std::string file = t.Portfolio() + "/Noname_1/" + damaged;
        auto bytes = ReadBytes(file);
        bytes.resize(bytes.size() - 4);
        sxtest::WriteBytes(file, bytes);
        auto p = Start(16, 16);
        ASSERT_NE(nullptr, p->currentPicture);
        c_TesLayer* l = p->currentPicture->currentLayer;
        ASSERT_NE(nullptr, l) << damaged;
        EXPECT_EQ(1, p->currentPicture->LayerCount()) << damaged;
        EXPECT_NE(1, l->id) << damaged;
        EXPECT_TRUE(l->HasPixels() && l->compacted == 0) << damaged;
        ASSERT_TRUE(p->SavePortfolio());
        EXPECT_EQ(bytes, ReadBytes(file)) << damaged << " is left for recovery, not overwritten";
    }
}
