// Undo, redo and the savepoint against real pictures and files: every step compared byte for
// byte with the state it must bring back, the step counts of the buttons, and the files left in
// the "Undo" folder.
#include "engine/history/c_TesUndo.h"
#include "StoreKit.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using sxtest::FilesIn;
using sxtest::Snapshot;
using sxtest::Stroke;

namespace {

struct History : ::testing::Test {
    sxtest::TempFolder t;
    std::unique_ptr<scribbix::Portfolio> p = sxtest::Start(24, 16);

    c_TesPic& Pic() { return *p->currentPicture; }
    std::vector<uint8_t> Now() { return Snapshot(*Pic().currentLayer); }
    void Undo() { Pic().history->Undo(0); }
    void Redo() { Pic().history->Undo(1); }
    bool Steps(int32_t undo, int32_t redo) {
        return Pic().history->UndoSteps() == undo && Pic().history->RedoSteps() == redo;
    }
    std::string Folder(const char* sub) { return t.Portfolio() + "/Noname_1/" + sub; }
};

} // namespace

TEST_F(History, StrokesUndoneAndRedoneExactlyWithTheButtonsStepCounts) {
    const auto s0 = Now();
    Stroke(Pic(), 1, 1, 3, 3, {0.5f, 0.5f, 0, 1});
    const auto s1 = Now();
    EXPECT_TRUE(Steps(1, 0));
    Stroke(Pic(), 15, 9, 6, 4, {0, 0.25f, 1, 0.75f});
    const auto s2 = Now();
    Undo();
    EXPECT_EQ(s1, Now());
    c_TesUndo& h = static_cast<c_TesUndo&>(*Pic().history);
    EXPECT_TRUE(h.undoCount == 1 && h.redoCount == 2); // the present-state snapshot and the stroke
    Undo();
    EXPECT_EQ(s0, Now());
    EXPECT_TRUE(Steps(0, 2));
    Redo();
    EXPECT_EQ(s1, Now());
    Redo();
    EXPECT_EQ(s2, Now());
    EXPECT_TRUE(Steps(2, 0));
    // And back down again, through the records the redos rewrote.
    Undo();
    EXPECT_EQ(s1, Now());
    Undo();
    EXPECT_EQ(s0, Now());
}

TEST_F(History, NewRecordAfterUndoDiscardsRedoSideAndItsFiles) {
    Stroke(Pic(), 0, 0, 2, 2, {1, 1, 1, 1});
    Stroke(Pic(), 5, 5, 2, 2, {1, 1, 1, 1});
    Undo();
    ASSERT_TRUE(Steps(1, 1));
    // Serials 1, 2 (strokes), 3 (present-state snapshot): all three have files.
    EXPECT_EQ((std::vector<std::string>{"0000000001.Undo", "0000000002.Undo", "0000000003.Undo"}),
              FilesIn(Folder("Undo")));
    const auto before = Now();
    Stroke(Pic(), 10, 10, 3, 3, {0, 1, 0, 1});
    EXPECT_TRUE(Steps(2, 0));
    EXPECT_EQ((std::vector<std::string>{"0000000001.Undo", "0000000004.Undo"}), FilesIn(Folder("Undo")));
    Redo(); // nothing to redo: no change
    Stroke(Pic(), 10, 10, 3, 3, {0, 1, 0, 1}, false);
    Undo();
    EXPECT_EQ(before, Now());
}

TEST_F(History, TwentySixRecordsDropTheOldestAndStepsNeverExceedTwentyFive) {
    std::vector<std::vector<uint8_t>> after;
    for (int i = 0; i < 27; ++i) {
        Stroke(Pic(), i % 24, i / 24, 1, 1, {1, 0, 0, 1});
        after.push_back(Now());
    }
    EXPECT_TRUE(static_cast<c_TesUndo&>(*Pic().history).undoCount == 26 && Steps(25, 0));
    auto files = FilesIn(Folder("Undo"));
    ASSERT_EQ(26u, files.size());
    EXPECT_EQ("0000000002.Undo", files.front());
    int undos = 0;
    while (Pic().history->UndoSteps() > 0 && undos < 40) {
        Undo();
        ++undos;
        EXPECT_LE(Pic().history->RedoSteps(), 25);
    }
    // The first undo needed a slot for the present state, so one more record went.
    EXPECT_EQ(25, undos);
    EXPECT_EQ(after[1], Now());
}

TEST_F(History, GoingBackToSavepointCanBeUndoneAndRedone) {
    Stroke(Pic(), 1, 1, 5, 5, {0, 0, 1, 1});
    const auto atSavepoint = Now();
    Pic().history->SavepointCommand(1);
    EXPECT_EQ(1, Pic().hasSavepoint);
    EXPECT_TRUE(fs::is_regular_file(Folder("Savepoints/1.tesp")));
    Stroke(Pic(), 10, 2, 8, 8, {1, 1, 0, 1});
    const auto later = Now();
    Pic().history->SavepointCommand(2);
    EXPECT_EQ(atSavepoint, Now());
    EXPECT_TRUE(Pic().pictureNumber == 1 && Pic().hasSavepoint == 1);
    Undo();
    EXPECT_EQ(later, Now());
    Redo();
    EXPECT_EQ(atSavepoint, Now());
    Undo();
    EXPECT_EQ(later, Now());
    Pic().history->SavepointCommand(3);
    EXPECT_EQ(0, Pic().hasSavepoint);
    EXPECT_FALSE(fs::exists(Folder("Savepoints")));
}

TEST_F(History, DamagedSavepointRecordsNothingAndChangesNothing) {
    Stroke(Pic(), 1, 1, 5, 5, {0, 0, 1, 1});
    Pic().history->SavepointCommand(1);
    auto bytes = sxtest::ReadBytes(Folder("Savepoints/1.tesp"));
    bytes.resize(bytes.size() - 8);
    sxtest::WriteBytes(Folder("Savepoints/1.tesp"), bytes);
    Stroke(Pic(), 10, 2, 8, 8, {1, 1, 0, 1});
    const auto later = Now();
    c_TesPic* before = &Pic();
    Pic().history->SavepointCommand(2);
    EXPECT_TRUE(before == &Pic() && later == Now() && Steps(2, 0));
}

TEST_F(History, LayoutStepRestoresSettingsAndKeepsPresentPixels) {
    Stroke(Pic(), 3, 3, 6, 6, {0.3f, 0.6f, 0.9f, 1});
    Pic().history->Record(3, 0);
    Pic().currentLayer->SetName("Renamed");
    Pic().currentLayer->opacity = 25;
    Stroke(Pic(), 12, 1, 4, 4, {1, 0, 0, 1}, false); // pixels changed without a record
    const auto pixels = Now();
    Undo();
    EXPECT_TRUE(std::string("Ink") == Pic().currentLayer->name && Pic().currentLayer->opacity == 100);
    EXPECT_EQ(pixels, Now());
    Redo();
    EXPECT_TRUE(std::string("Renamed") == Pic().currentLayer->name && Pic().currentLayer->opacity == 25);
    EXPECT_EQ(pixels, Now());
}

TEST_F(History, ClearDrawingIsAPictureStepThatUndoesExactlyAndIsSavedWhole) {
    Stroke(Pic(), 2, 2, 10, 10, {0.9f, 0.1f, 0.1f, 1});
    const auto drawn = Now();
    p->ClearDrawing();
    EXPECT_TRUE(Pic().IsEmpty());
    const auto cleared = Now();
    Undo();
    EXPECT_EQ(drawn, Now());
    EXPECT_EQ(1, Pic().pictureNumber);
    Redo();
    EXPECT_EQ(cleared, Now());
    ASSERT_TRUE(p->SavePortfolio());
    EXPECT_EQ(cleared, Snapshot(*sxtest::Start(24, 16)->currentPicture->currentLayer));
}

TEST_F(History, OnAFullDiskNoStepIsCountedAndClearRefusesSoUndoNeverPromisesTooMuch) {
    Stroke(Pic(), 2, 2, 10, 10, {0.9f, 0.1f, 0.1f, 1});
    const auto s1 = Now();
    {
        sxtest::InjectionOff off;
        c_VekFil_Disk::FailWritesAfter(0);
        EXPECT_FALSE(p->ClearDrawing()); // nothing could bring the drawing back
        EXPECT_EQ(s1, Now());
        EXPECT_TRUE(Steps(1, 0));
        Stroke(Pic(), 14, 2, 4, 4, {0, 0, 1, 1}); // painted, but not undoable
        EXPECT_TRUE(Steps(1, 0));
        EXPECT_EQ(FilesIn(Folder("Undo")).size(), 1u);
    }
    // The step that was kept still brings back what it recorded.
    Undo();
    auto alpha = [&](int x, int y) { return Pic().currentLayer->Pixels()[(y * Pic().currentLayer->width + x) * 4 + 3]; };
    EXPECT_EQ(alpha(5, 5), 0.0f);
    EXPECT_EQ(alpha(15, 3), 1.0f); // the unrecorded stroke stays
    EXPECT_TRUE(p->ClearDrawing()); // with room again Clear works
    EXPECT_TRUE(Pic().IsEmpty());
}

TEST_F(History, UndoAfterChoosingAnotherLayerRestoresTheStrokesLayer) {
    c_TesLayer* ink = Pic().currentLayer;
    Stroke(Pic(), 4, 4, 4, 4, {1, 0, 1, 1});
    c_TesLayer* other = Pic().AddColourLayer(); // records nothing; becomes current
    Stroke(Pic(), 0, 0, 24, 16, {0, 1, 0, 1}, false);
    const auto otherPixels = Snapshot(*other);
    Undo();
    EXPECT_EQ(otherPixels, Snapshot(*Pic().FindLayer(other->id)));
    c_TesLayer* back = Pic().FindLayer(ink->id);
    back->SetCompact(false);
    for (int32_t i = 0; i < back->width * back->height; ++i)
        EXPECT_EQ(0.0f, back->Pixels()[i * 4 + 3]);
}

TEST_F(History, LoadingEmptiesTheUndoFolderAndClearingFilesRemovesIt) {
    Stroke(Pic(), 1, 1, 2, 2, {1, 1, 1, 1});
    ASSERT_FALSE(FilesIn(Folder("Undo")).empty());
    ASSERT_TRUE(p->SavePortfolio());
    auto again = sxtest::Start(24, 16);
    EXPECT_TRUE(FilesIn(Folder("Undo")).empty());
    EXPECT_EQ(0, again->currentPicture->history->UndoSteps());
    Stroke(*again->currentPicture, 1, 1, 2, 2, {1, 1, 1, 1});
    again->currentPicture->history->ClearFiles(true);
    EXPECT_FALSE(fs::exists(Folder("Undo")));
}
