// The commands: they wait for the command slot (and for an open stroke), export writes the
// flattened drawing as an opaque PNG named after its slot into Pictures/Scribbix and says where,
// clear and background changes are undoable steps, minimise and exit reach the program, and a
// failed export or a drawing that cannot be saved is never passed off as done.
#include "StudioScene.h"

#include "app/Commands.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "platform/ImageCodec.h"
#include "ui/cVek_Window_Info.h"

#include <sys/stat.h>

namespace studio_test {
namespace {

namespace cmd = scribbix::commands;

class Commands : public StudioScene {
  protected:
    void TearDown() override {
        c_VekFil_Disk::FailWritesAfter(-1);
        StudioScene::TearDown();
    }
    static bool Exists(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0;
    }
    std::string InfoText() const { return TopInfo() ? TopInfo()->Text() : std::string(); }
    void ExpectPaper(float r, float g, float b) {
        const c_TesPic* pic = portfolio->currentPicture; // a layout step rebuilds the picture object
        EXPECT_EQ(pic->paperColour[0], r);
        EXPECT_EQ(pic->paperColour[1], g);
        EXPECT_EQ(pic->paperColour[2], b);
    }
};

TEST_F(Commands, ClearWaitsForTheNextFrameRunsOnceAndUndoBringsTheDrawingBack) {
    Stroke(0.0f, 0.0f, 0.3f, 0.0f);
    const std::vector<float> drawn = Ink();
    cmd::Clear(nullptr, 0);
    EXPECT_EQ(Ink(), drawn); // only stored
    EXPECT_TRUE(desktop->CommandPending());
    Frames(1);
    EXPECT_FALSE(desktop->CommandPending());
    EXPECT_TRUE(portfolio->currentPicture->currentLayer->IsEmpty());
    EXPECT_EQ(UndoSteps(), 2);
    Frames(2);
    EXPECT_EQ(UndoSteps(), 2); // not again
    cmd::Undo(nullptr, 0);
    Frames(1);
    EXPECT_EQ(Ink(), drawn);
}

TEST_F(Commands, ShortcutKeysUndoAndRedoButClipboardKeysDoNothing) {
    const std::vector<float> blank = Ink();
    Stroke(0.0f, 0.0f, 0.3f, 0.0f);
    const std::vector<float> drawn = Ink();
    cmd::Shortcut(nullptr, cmd::kUndo);
    Frames(1);
    EXPECT_EQ(Ink(), blank);
    cmd::Shortcut(nullptr, cmd::kCopy);
    Frames(1);
    EXPECT_FALSE(desktop->CommandPending());
    cmd::Shortcut(nullptr, cmd::kRedo);
    Frames(1);
    EXPECT_EQ(Ink(), drawn);
}

TEST_F(Commands, BackgroundColourIsALayoutStepAndUndoRestoresThePaper) {
    cmd::SetBackground(nullptr, 0x000000);
    Frames(1);
    ExpectPaper(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(UndoSteps(), 1);
    cmd::SetBackground(nullptr, cmd::kBackgroundCurrent); // paint colour, default entry 6
    Frames(1);
    ExpectPaper(0.5f, 0.5f, 0.0f);
    cmd::Undo(nullptr, 0);
    Frames(1);
    cmd::Undo(nullptr, 0);
    Frames(1);
    ExpectPaper(1.0f, 1.0f, 1.0f);
}

TEST_F(Commands, ExportWritesAnOpaquePngNamedAfterTheSlotAndSaysWhereOrThatItFailed) {
    portfolio->slots[2] = portfolio->currentPicture->pictureNumber;
    EXPECT_EQ(cmd::ExportBaseName(42), "Drawing 3 (42)");
    portfolio->slots[2] = 0;
    EXPECT_EQ(cmd::ExportBaseName(4294967295u), "Noname (4294967295)");

    exporter->SetFolderHook([](bool) { return false; });
    cmd::Export(nullptr, 0);
    Frames(1);
    EXPECT_FALSE(scribbix::Context().lastExportOk);
    EXPECT_FALSE(Exists(home_ + "/Pictures/Scribbix"));
    ASSERT_NE(TopInfo(), nullptr);
    EXPECT_NE(TopInfo()->Text().find("could not be exported"), std::string::npos);
    TopInfo()->Close();
    Frames(2);

    // A drawing never given a slot takes slot 0 (the menu was never opened).
    scribbix::ConnectPortfolio(*portfolio, *editor, *exporter);
    Stroke(-0.1f, 0.0f, 0.3f, 0.0f);
    cmd::Export(nullptr, 0);
    Frames(1);
    const std::string path = home_ + "/Pictures/Scribbix/Drawing 1 (1234567890).png";
    ASSERT_TRUE(scribbix::Context().lastExportOk);
    EXPECT_EQ(scribbix::Context().lastExportPath, path);
    vek::Image8 img;
    ASSERT_TRUE(vek::LoadImageFile(path, img, 0));
    EXPECT_EQ(img.Width(), kScreenW);
    EXPECT_EQ(img.Height(), kScreenH);
    EXPECT_EQ(img.Channels(), 3);
    EXPECT_NE(InfoText().find("Drawing 1 (1234567890).png"), std::string::npos);
}

TEST_F(Commands, CommandsWaitWhileAStrokeIsOpenAndMinimiseAndExitReachTheProgram) {
    Pointer(vek::kPointerMove, 0.0f, 0.0f, 0, 0);
    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    ASSERT_TRUE(editor->DragCaptured());
    cmd::Clear(nullptr, 0);
    Frames(3);
    EXPECT_TRUE(desktop->CommandPending()); // still waiting
    Pointer(vek::kPointerDrag, 0.2f, 0.0f, 0, vek::kModLeft);
    Pointer(vek::kPointerRelease, 0.2f, 0.0f, 1, 0);
    Frames(2);
    EXPECT_FALSE(desktop->CommandPending());
    EXPECT_TRUE(portfolio->currentPicture->currentLayer->IsEmpty());
    EXPECT_EQ(UndoSteps(), 2); // the stroke, then the clear

    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    cmd::Minimise(nullptr, 0);
    Frames(2);
    EXPECT_EQ(minimised, 0);
    Pointer(vek::kPointerRelease, 0.0f, 0.0f, 1, 0);
    Frames(2);
    EXPECT_EQ(minimised, 1);
    cmd::Exit(nullptr, 0);
    Frames(3);
    EXPECT_TRUE(desktop->Closing());
    EXPECT_EQ(quits, 1);
}

TEST_F(Commands, SlotSwitchThatCannotSaveTheDrawingKeepsItCurrentAndSaysSo) {
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    const int32_t first = portfolio->currentPicture->pictureNumber;
    const std::vector<float> drawn = Ink();
    c_VekFil_Disk::FailWritesAfter(0); // disk full
    cmd::GoToDrawing(nullptr, 2);
    Frames(1);
    ASSERT_NE(portfolio->currentPicture, nullptr);
    EXPECT_EQ(portfolio->currentPicture->pictureNumber, first);
    EXPECT_EQ(portfolio->slots[2], 0);
    EXPECT_EQ(Ink(), drawn);
    EXPECT_NE(InfoText().find("could not be saved"), std::string::npos);
    // With room on the disk again the switch saves and goes.
    c_VekFil_Disk::FailWritesAfter(-1);
    cmd::GoToDrawing(nullptr, 2);
    Frames(1);
    EXPECT_NE(portfolio->currentPicture->pictureNumber, first);
    EXPECT_EQ(portfolio->slots[2], portfolio->currentPicture->pictureNumber);
}

TEST_F(Commands, ExitThatCannotSaveTheDrawingWarnsOnceAndQuitsOnTheNextRequest) {
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    c_VekFil_Disk::FailWritesAfter(0);
    cmd::Exit(nullptr, 0);
    Frames(3);
    EXPECT_FALSE(desktop->Closing());
    EXPECT_NE(InfoText().find("could not be saved"), std::string::npos);
    cmd::Exit(nullptr, 0);
    Frames(3);
    EXPECT_TRUE(desktop->Closing());
    EXPECT_EQ(quits, 1);
}

} // namespace
} // namespace studio_test
