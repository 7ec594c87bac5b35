// The picture editor view: shows the current picture inside the picture window, zoomed and placed
// by the view layout, through a grid of textures; maps the pointer back to picture pixels for the
// tool box; draws the active selection's outline as an animated overlay; converts colours for
// the panels. One editor per program (gTes_PicEditor).
//
// Path of a change: a tool marks a region (RegionChanged, wrapped on a repeating picture), the next
// frame composites only that region, encodes it into the 8-bit display image and re-uploads the
// texels it touches. The display image, the overlay and both grids exist only while the GL side
// is active; ReleaseDisplayResources drops them and the next frame rebuilds them from the picture.
#pragma once

#include "editor/DisplayEncoder.h"
#include "editor/TextureGrid.h"
#include "editor/ViewLayout.h"
#include "engine/picture/cTes_PicDisplay.h"
#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "platform/InputEvents.h"
#include "shell/MemBlock.h"

#include <cstdint>
#include <memory>
#include <vector>

class c_TesPic;
class c_TesLayer_MonoComp_NoType;
class cVek_ToolBox;
class cVek_Window;
class cVek_Window_Panel;

class cTes_PicEditor : public cTes_PicDisplay {
  public:
    static constexpr int32_t kTableEntries = tes::editor::DisplayEncoder::kEntries;
    static constexpr float kOverlayStep = 0.8f; // seconds per phase of the selection animation

    // Where the picture comes from: the portfolio's current picture and its loading sequence.
    struct PictureSource {
        c_TesPic* (*current)(void* user) = nullptr;
        void (*advanceLoading)(void* user) = nullptr; // run every frame unless the window closes
        void* user = nullptr;
        const uint8_t* integerFit = nullptr; // the portfolio's integer-fit switch; null: the editor's own
    };

    // ---- fields, in order ----
    vek::MemBlock displayImage; // 8-bit display pixels, displayImageWidth × height × channels
    int32_t displayImageWidth = 0, displayImageHeight = 0, displayChannels = 0;
    std::unique_ptr<c_TesLayer_MonoComp_NoType> overlay; // outline bytes, one a picture pixel
    tes::editor::DisplayEncoder encoder;                 // the display colour table and its encoders
    int32_t magnifier = 16;                              // the engine's magnifier panel; low byte saved
    uint8_t rebuildAll = 1;
    uint8_t subPixelMapping = 0; // saved in the settings
    int32_t visibleSourceWidth = 0, visibleSourceHeight = 0;
    tes::editor::ScreenRect view{100, 100, 600, 400};
    tes::editor::LayoutResult layout; // screen position, displayed size, source, effective mode
    int32_t seenWidth = 0, seenMode = -1, seenHeight = 0;
    int32_t layoutChanged = 0;
    std::unique_ptr<tes::editor::TextureGrid> displayGrid, overlayGrid;
    s_TesRegion pictureRegion; // pending changed region of the picture
    s_TesRegion overlayRegion; // pending changed region of the overlay
    int32_t overlayPhase = 0;
    float overlayTime = 0.0f;     // seconds into the current phase
    float overlaySubPhase = 0.0f; // overlayTime / kOverlayStep
    uint8_t fullScreenLayout = 0; // set by the program's set-up

    // ---- beyond the record ----
    uint8_t integerFit = 1; // fit modes use whole-number factors, unless the source has a switch

    cTes_PicEditor();
    ~cTes_PicEditor() override;
    cTes_PicEditor(const cTes_PicEditor&) = delete;
    cTes_PicEditor& operator=(const cTes_PicEditor&) = delete;

    // ---- wiring ----
    void SetPictureSource(const PictureSource& source) { source_ = source; }
    // A fixed picture, used while no source is set (tools, tests).
    void SetPicture(c_TesPic* picture) { fixedPicture_ = picture; }
    c_TesPic* CurrentPicture() const;
    // The tool box that receives the pointer events (default: gVek_ToolBox).
    void SetToolBox(cVek_ToolBox* toolBox) { toolBox_ = toolBox; }
    // The picture window: its body draws the editor (a function panel with DrawPanel) and its
    // pointer handler feeds the tool box. Installs the pointer handler.
    void SetPictureWindow(cVek_Window* window);
    cVek_Window* PictureWindow() const { return window_; }
    // For vek::ui::FunctionPanel(cTes_PicEditor::DrawPanel, editor).
    static void DrawPanel(cVek_Window_Panel& window, void* editor);

    // ---- frame ----
    // The picture window's body for this frame.
    void FrameDraw(cVek_Window& window);
    // The same with the view rectangle given directly (screen pixels). With drawGl false nothing
    // touches GL: the display image is brought up to date and pending regions are consumed.
    void RunFrame(const tes::editor::ScreenRect& viewRect, bool windowClosing, double frameInterval,
                  bool drawGl);
    // Drops both grids (their GL names), the display image and the overlay. Needs the GL context
    // current when grids exist. Called on deactivation and by the close handler.
    void ReleaseDisplayResources();

    // ---- changes ----
    // Merges the rectangle (picture pixels, wrap-around allowed) into the pending region and asks
    // the desktop for a frame.
    void MarkPictureChanged(int32_t x, int32_t y, int32_t width, int32_t height);
    void MarkOverlayChanged(int32_t x, int32_t y, int32_t width, int32_t height);
    void RequestRebuild();

    // ---- mapping ----
    // Screen pixel to picture pixel with the last frame's layout; true when inside (always while a
    // drag is captured by the picture window).
    bool ScreenToPicture(int32_t px, int32_t py, int32_t& x, int32_t& y) const;
    // With fractions when the sub-pixel mapping flag is on, else the whole-pixel form.
    bool ScreenToPictureSubPixel(int32_t px, int32_t py, float& x, float& y) const;
    bool DragCaptured() const { return strokeOpen_; }

    // Linear RGB to 0xRRGGBB for the panels' swatches.
    uint32_t ColourToDisplay(const float rgb[3]) const;

    // ---- pointer ----
    // Press, move and release over the picture window: mapped with the sub-pixel form and queued in
    // the tool box with their message times. Other buttons than left and right are ignored.
    void HandlePointer(const vek::PointerEvent& event);

    // ---- settings (record 3): sub-pixel mapping flag, magnifier factor's low byte ----
    void GetStateBytes(uint8_t bytes[2]) const;
    void SetStateBytes(const uint8_t bytes[2]);

    // ---- cTes_PicDisplay ----
    void RegionChanged(c_TesPic& picture, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void RedrawAll(c_TesPic& picture) override;
    void UploadThumbnail(c_TesPic& picture, int32_t slot, const uint32_t* pixels, int32_t width,
                         int32_t height) override;
    void ReleaseThumbnails(c_TesPic& picture) override;

    // Composites and encodes the pending region into the display image (allocating it when
    // missing) without consuming it. False when memory ran out (the region stays pending).
    bool UpdateDisplayImage(c_TesPic& picture);

  private:
    static void PointerTrampoline(cVek_Window& window, const vek::PointerEvent& event, float x, float y,
                                  void* user);
    bool EncodeRect(c_TesPic& picture, int32_t x, int32_t y, int32_t width, int32_t height);
    const c_TesLayer_Gfx* SinglePaintedLayer(c_TesPic& picture) const;
    void UpdateOverlay(c_TesPic& picture, bool drawGl);
    // A missing grid is made and filled whole; an existing one gets only the region's pieces.
    void SyncGrid(std::unique_ptr<tes::editor::TextureGrid>& grid, const tes::editor::ImageRef& image,
                  bool maxFilter, const s_TesRegion& region);
    void DrawGrids(c_TesPic& picture, double frameInterval);
    bool SelectionActive(const c_TesPic& picture) const;
    void ResetIdle() const;
    // Clips the rectangle to the picture and merges it into a pending region on the circle.
    void MergePending(s_TesRegion& region, int32_t x, int32_t y, int32_t width, int32_t height);
    void DeleteDeadTextures();

    PictureSource source_;
    c_TesPic* fixedPicture_ = nullptr;
    cVek_ToolBox* toolBox_ = nullptr;
    cVek_Window* window_ = nullptr;
    c_TesPic* shownPicture_ = nullptr; // the picture the display image was made from
    bool haveLayout_ = false;          // layout and view come from a frame of shownPicture_
    bool glActive_ = false;
    bool strokeOpen_ = false; // a press over the picture went to the tool box
    uint8_t strokeButton_ = 0;
    bool overlayShown_ = false;
    c_TesLayer_Gfx compositeTarget_;     // reused band of the composite
    std::vector<uint32_t> deadTextures_; // thumbnail names to delete once GL is current again
};

// The program's picture editor (set by its constructor).
extern cTes_PicEditor* gTes_PicEditor;
