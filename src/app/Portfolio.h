// The program's portfolio: the store lives in the per-user data folder, every new or blank
// drawing takes the size of the screen, and exports go to the user's pictures folder. Also the
// ten "Work In Progress" slots: a table of picture numbers (0 = empty) that the settings keep.
#pragma once

#include "engine/storage/c_TesPortfolio.h"

#include <cstdint>
#include <string>

namespace scribbix {

class Portfolio : public c_TesPortfolio {
  public:
    static constexpr int kSlotCount = 10;

    // The screen size comes from the platform (the current display mode).
    Portfolio(int32_t screenWidth, int32_t screenHeight) : c_TesPortfolio(screenWidth, screenHeight) {
        integerFit = 1;
    }

    // A screen-sized "Noname" picture with one layer "Ink", shown whole (view mode 3).
    c_TesPic* CreateBlankPicture() override;
    // Fits the picture to the screen (FitToScreen).
    void OnPictureLoaded(c_TesPic& picture) override;
    bool EnterPortfolioFolder(bool create) override;
    bool EnterExportFolder(bool create) override;
    // default width · default height · 400 bytes, in megabytes.
    uint64_t RequiredFreeMegabytes() const override;

    // A blank drawing takes the size of the screen (a quarter turn when it is the screen's size
    // swapped, else margins added or cut at the right and bottom); every drawing then shows its
    // bottom layer, whole (view mode 3), centred.
    void FitToScreen(c_TesPic& picture);

    // ---- work-in-progress slots ----
    int32_t slots[kSlotCount] = {};

    // Menu preparation: all slots empty → slot 0 takes the current picture; a number held by an
    // earlier slot is cleared from the later ones.
    void NormalizeSlots();
    // "Drawing 1" .. "Drawing 10".
    static std::string SlotLabel(int slot);
    // "not started yet" when the slot names no picture or a blank one, else the label.
    std::string SlotCaption(int slot);
    // The slot holding the picture number, or -1.
    int SlotOf(int32_t pictureNumber) const;
    // Makes the slot's picture current, or saves and releases the current picture and starts a
    // new blank one in the slot. False when no picture could be made.
    bool ChooseSlot(int slot);
    // "Clear Drawing": records a picture step, clears every layer and fits the picture again; the
    // picture keeps its slot and number. False, with nothing cleared, when the step could not be
    // recorded (a full disk), since Undo could not bring the drawing back.
    bool ClearDrawing();
};

} // namespace scribbix
