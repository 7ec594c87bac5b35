// The commands: they wait for the command slot, export writes the flattened drawing as a PNG named
// after its slot into Pictures/Scribbix, clear and background changes are undoable steps,
// minimise and exit reach the program, and a failed export says so.
#include "StudioScene.h"

#include "app/Commands.h"
#include "engine/picture/c_TesPic.h"
#include "platform/ImageCodec.h"
#include "ui/cVek_Window_Info.h"

#include <sys/stat.h>
#include <vector>

namespace studio_test {
namespace {

namespace cmd = scribbix::commands;

class Commands : public StudioScene {
  protected:
    std::vector<float> Ink() const {
        const c_TesLayer* l = portfolio->currentPicture->currentLayer;
        return std::vector<float>(l->Pixels(), l->Pixels() + size_t(l->width) * size_t(l->height) * 4);
    }
    cVek_Window_Info* TopInfo() const {
        return dynamic_cast<cVek_Window_Info*>(desktop->WindowAt(desktop->WindowCount() - 1));
    }
    static bool Exists(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0;
    }
};

TEST_F(Commands, ACommandWaitsForTheNextFrameThenRunsOnce) {
    Stroke(0.0f, 0.0f, 0.3f, 0.0f);
    const std::vector<float> drawn = Ink();
    cmd::Clear(nullptr, 0);
    EXPECT_EQ(Ink(), drawn); // only stored
    EXPECT_TRUE(desktop->CommandPending());
    Frames(1);
    EXPECT_FALSE(desktop->CommandPending());
    EXPECT_TRUE(portfolio->currentPicture->currentLayer->IsEmpty());
    EXPECT_EQ(portfolio->currentPicture->history->UndoSteps(), 2);
    Frames(2);
    EXPECT_EQ(portfolio->currentPicture->history->UndoSteps(), 2); // not again
}

TEST_F(Commands, ClearIsAStepThatUndoTakesBack) {
    Stroke(0.0f, 0.0f, 0.3f, 0.0f);
    const std::vector<float> drawn = Ink();
    cmd::Clear(nullptr, 0);
    Frames(1);
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
    c_TesPic* pic = portfolio->currentPicture;
    EXPECT_EQ(pic->paperColour[0], 0.0f);
    EXPECT_EQ(pic->paperColour[2], 0.0f);
    EXPECT_EQ(pic->history->UndoSteps(), 1);
    cmd::SetBackground(nullptr, cmd::kBackgroundCurrent); // paint colour, default entry 6
    Frames(1);
    pic = portfolio->currentPicture;
    EXPECT_EQ(pic->paperColour[0], 0.5f);
    EXPECT_EQ(pic->paperColour[1], 0.5f);
    EXPECT_EQ(pic->paperColour[2], 0.0f);
    cmd::Undo(nullptr, 0);
    Frames(1);
    cmd::Undo(nullptr, 0);
    Frames(1);
    pic = portfolio->currentPicture; // a layout step rebuilds the picture object
    EXPECT_EQ(pic->paperColour[0], 1.0f);
    EXPECT_EQ(pic->paperColour[1], 1.0f);
    EXPECT_EQ(pic->paperColour[2], 1.0f);
}

TEST_F(Commands, ExportNameIsTheSlotLabelAndTheSeconds) {
    portfolio->slots[2] = portfolio->currentPicture->pictureNumber;
    EXPECT_EQ(cmd::ExportBaseName(42), "Drawing 3 (42)");
    portfolio->slots[2] = 0;
    EXPECT_EQ(cmd::ExportBaseName(4294967295u), "Noname (4294967295)");
}

TEST_F(Commands, ExportWritesTheFlattenedDrawingIntoPicturesScribbix) {
    Stroke(-0.1f, 0.0f, 0.3f, 0.0f);
    cmd::Export(nullptr, 0);
    Frames(1);
    const std::string path = home_ + "/Pictures/Scribbix/Drawing 1 (1234567890).png";
    ASSERT_TRUE(scribbix::Context().lastExportOk);
    EXPECT_EQ(scribbix::Context().lastExportPath, path);
    vek::Image8 img;
    ASSERT_TRUE(vek::LoadImageFile(path, img, 0));
    ASSERT_EQ(img.Width(), kScreenW);
    ASSERT_EQ(img.Height(), kScreenH);
    ASSERT_EQ(img.Channels(), 3); // opaque
    // Away from the stroke: the white paper. On it (desktop (0.1, 0) is pixel (900, 500)): ink.
    const uint8_t* paper = img.Row(100) + 1200 * 3;
    EXPECT_EQ(paper[0], 255);
    EXPECT_EQ(paper[1], 255);
    EXPECT_EQ(paper[2], 255);
    const uint8_t* ink = img.Row(500) + 900 * 3;
    EXPECT_LT(int(ink[0]) + ink[1] + ink[2], 600);
    // The user is told where the file went.
    cVek_Window_Info* info = TopInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->Text().find("Drawing 1 (1234567890).png"), std::string::npos);
}

TEST_F(Commands, FailedExportWritesNothingAndSaysSo) {
    exporter->SetFolderHook([](bool) { return false; });
    cmd::Export(nullptr, 0);
    Frames(1);
    EXPECT_FALSE(scribbix::Context().lastExportOk);
    EXPECT_FALSE(Exists(home_ + "/Pictures/Scribbix"));
    cVek_Window_Info* info = TopInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->Text().find("could not be exported"), std::string::npos);
}

TEST_F(Commands, PictureCommandsWaitWhileAStrokeIsOpen) {
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
    EXPECT_EQ(portfolio->currentPicture->history->UndoSteps(), 2); // the stroke, then the clear
}

TEST_F(Commands, MinimiseAndExitReachTheProgram) {
    cmd::Minimise(nullptr, 0);
    EXPECT_EQ(minimised, 0);
    Frames(1);
    EXPECT_EQ(minimised, 1);
    cmd::Exit(nullptr, 0);
    Frames(3);
    EXPECT_TRUE(desktop->Closing());
    EXPECT_EQ(quits, 1);
}

} // namespace
} // namespace studio_test
