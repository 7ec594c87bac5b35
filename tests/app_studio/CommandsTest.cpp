// The commands: they wait for the command slot (and for an open stroke), export names the file
// after the drawing's slot and says where or that it failed (the file itself is the e2e session's),
// clear and background are undoable steps, and a drawing that cannot be saved is never passed off
// as saved.
#include "StudioScene.h"

#include "app/Commands.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_VekFil_Disk.h"
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
    void Run(void (*command)(cVek_Window*, intptr_t), intptr_t value = 0) {
        command(nullptr, value);
        Frames(1);
    }
};

TEST_F(Commands, ClearRunsOnceOnTheNextFrameAndShortcutsUndoAndRedoItButClipboardKeysDoNothing) {
    Stroke(0.0f, 0.0f, 0.3f, 0.0f);
    const std::vector<float> drawn = Ink();
    cmd::Clear(nullptr, 0);
    EXPECT_EQ(Ink(), drawn); // only stored
    Frames(1);
    EXPECT_FALSE(desktop->CommandPending());
    const std::vector<float> cleared = Ink();
    EXPECT_TRUE(portfolio->currentPicture->currentLayer->IsEmpty());
    Frames(2);
    EXPECT_EQ(UndoSteps(), 2); // not again
    Run(cmd::Shortcut, cmd::kUndo);
    EXPECT_EQ(Ink(), drawn);
    Run(cmd::Shortcut, cmd::kCopy);
    EXPECT_FALSE(desktop->CommandPending());
    EXPECT_EQ(Ink(), drawn);
    Run(cmd::Shortcut, cmd::kRedo);
    EXPECT_EQ(Ink(), cleared);
}

TEST_F(Commands, BackgroundColourIsALayoutStepAndUndoRestoresThePaper) {
    // The picture object is rebuilt by a layout step: read it afresh each time.
    auto paper = [this] {
        const float* p = portfolio->currentPicture->paperColour;
        return std::vector<float>{p[0], p[1], p[2]};
    };
    Run(cmd::SetBackground, 0x000000);
    EXPECT_EQ(paper(), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(UndoSteps(), 1);
    Run(cmd::SetBackground, cmd::kBackgroundCurrent); // the paint colour, default entry 6
    EXPECT_EQ(paper(), (std::vector<float>{0.5f, 0.5f, 0}));
    Run(cmd::Undo);
    Run(cmd::Undo);
    EXPECT_EQ(paper(), (std::vector<float>{1, 1, 1}));
}

TEST_F(Commands, ExportWritesAnOpaquePngNamedAfterTheSlotAndSaysWhereOrThatItFailed) {
    portfolio->slots[2] = portfolio->currentPicture->pictureNumber;
    EXPECT_EQ(cmd::ExportBaseName(42), "Drawing 3 (42)");
    portfolio->slots[2] = 0;
    EXPECT_EQ(cmd::ExportBaseName(4294967295u), "Noname (4294967295)");

    exporter->SetFolderHook([](bool) { return false; });
    Run(cmd::Export);
    EXPECT_FALSE(scribbix::Context().lastExportOk);
    struct stat st {};
    EXPECT_NE(stat((home_ + "/Pictures/Scribbix").c_str(), &st), 0);
    EXPECT_NE(InfoText().find("could not be exported"), std::string::npos);
    TopInfo()->Close();
    Frames(2);

    // A drawing never given a slot takes slot 0 (the menu was never opened).
    scribbix::ConnectPortfolio(*portfolio, *editor, *exporter);
    Stroke(-0.1f, 0.0f, 0.3f, 0.0f);
    Run(cmd::Export);
    const std::string path = home_ + "/Pictures/Scribbix/Drawing 1 (1234567890).png";
    ASSERT_TRUE(scribbix::Context().lastExportOk);
    EXPECT_EQ(scribbix::Context().lastExportPath, path);
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

TEST_F(Commands, SlotSwitchOrClearThatCannotBeSavedOrUndoneKeepsTheDrawingAndSaysSo) {
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    const int32_t first = portfolio->currentPicture->pictureNumber;
    const std::vector<float> drawn = Ink();
    c_VekFil_Disk::FailWritesAfter(0); // disk full
    Run(cmd::Clear);
    EXPECT_EQ(Ink(), drawn);
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_NE(InfoText().find("not cleared"), std::string::npos);
    Run(cmd::GoToDrawing, 2);
    ASSERT_NE(portfolio->currentPicture, nullptr);
    EXPECT_EQ(portfolio->currentPicture->pictureNumber, first);
    EXPECT_EQ(portfolio->slots[2], 0);
    EXPECT_EQ(Ink(), drawn);
    EXPECT_NE(InfoText().find("could not be saved"), std::string::npos);
    c_VekFil_Disk::FailWritesAfter(-1); // room again: the switch saves and goes
    Run(cmd::GoToDrawing, 2);
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
