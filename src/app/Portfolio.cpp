// The program's portfolio and its work-in-progress slots.
#include "app/Portfolio.h"

#include "engine/picture/c_TesPic.h"
#include "shell/FolderService.h"

namespace scribbix {

c_TesPic* Portfolio::CreateBlankPicture() {
    c_TesPic* pic = c_TesPortfolio::CreateBlankPicture();
    if (!pic) return nullptr;
    if (pic->currentLayer) pic->currentLayer->SetName("Ink");
    pic->viewMode = 3;
    pic->centreX = pic->width / 2;
    pic->centreY = pic->height / 2;
    pic->headerDirty = 1;
    return pic;
}

void Portfolio::OnPictureLoaded(c_TesPic& picture) {
    FitToScreen(picture);
}

void Portfolio::FitToScreen(c_TesPic& pic) {
    UpdatePictureEmptyFlag(pic);
    int32_t w, h;
    GetDefaultSize(w, h);
    if (pic.emptyFlag && (pic.width != w || pic.height != h)) {
        if (pic.width == h && pic.height == w) {
            pic.TurnPicture(1);
        } else {
            pic.AddPictureMargins(0, w - pic.width, 0, h - pic.height);
        }
        pic.RedrawAll();
    }
    if (pic.bottomLayer) pic.SetCurrent(pic.bottomLayer);
    pic.viewMode = 3;
    pic.centreX = pic.width / 2;
    pic.centreY = pic.height / 2;
    pic.headerDirty = 1;
}

bool Portfolio::EnterPortfolioFolder(bool create) {
    return folders_.GoTo(3) && folders_.Enter("Vekstal/Scribbix_Stuff/Portfolio", create);
}

bool Portfolio::EnterExportFolder(bool create) {
    // The exporter writes into the process-wide folder service's current folder.
    vek::FolderService& shared = vek::FolderService::Get();
    return folders_.GoTo(2) && folders_.Enter("Scribbix", create) && shared.GoTo(2) &&
           shared.Enter("Scribbix", create);
}

uint64_t Portfolio::RequiredFreeMegabytes() const {
    int32_t w, h;
    GetDefaultSize(w, h);
    return (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 400) >> 20;
}

void Portfolio::NormalizeSlots() {
    bool allEmpty = true;
    for (int32_t s : slots)
        allEmpty = allEmpty && s == 0;
    if (allEmpty) slots[0] = currentPicture ? currentPicture->pictureNumber : 0;
    for (int i = 0; i < kSlotCount; ++i) {
        if (slots[i] == 0) continue;
        for (int j = i + 1; j < kSlotCount; ++j) {
            if (slots[j] == slots[i]) slots[j] = 0;
        }
    }
}

std::string Portfolio::SlotLabel(int slot) {
    return "Drawing " + std::to_string(slot + 1);
}

std::string Portfolio::SlotCaption(int slot) {
    if (slot < 0 || slot >= kSlotCount) return "not started yet";
    c_TesPic* pic = FindPicture(slots[slot]);
    if (!pic) return "not started yet";
    // The current picture's layers are in memory: ask them; the others answer from their header.
    if (pic->bottomLayer) UpdatePictureEmptyFlag(*pic);
    return pic->emptyFlag ? "not started yet" : SlotLabel(slot);
}

int Portfolio::SlotOf(int32_t pictureNumber) const {
    if (pictureNumber == 0) return -1;
    for (int i = 0; i < kSlotCount; ++i) {
        if (slots[i] == pictureNumber) return i;
    }
    return -1;
}

bool Portfolio::ChooseSlot(int slot) {
    if (slot < 0 || slot >= kSlotCount) return false;
    if (c_TesPic* pic = FindPicture(slots[slot])) {
        SetCurrentPicture(pic);
        pic->RedrawAll();
        return true;
    }
    c_TesPic* pic = CreateBlankPicture();
    if (!pic) return false;
    slots[slot] = pic->pictureNumber;
    pic->RedrawAll();
    return true;
}

bool Portfolio::ClearDrawing() {
    c_TesPic* pic = currentPicture;
    if (!pic) return false;
    // Clearing is only safe while Undo can bring the drawing back.
    if (pic->history && !pic->history->Record(cTes_PicHistory::kPicture, cTes_PicHistory::kCurrentLayer))
        return false;
    for (c_TesLayer* l = pic->bottomLayer; l; l = l->above) {
        l->EnsurePixels();
        l->DropBackup();
        l->Clear();
    }
    pic->headerDirty = 1;
    FitToScreen(*pic);
    pic->RedrawAll();
    return true;
}

} // namespace scribbix
