// The picture editor view.
//
// Sections: creation and wiring; frame (layout, display image, grids, overlay, drawing); changes;
// mapping and pointer; settings and colours; the display interface of the picture.
#include "editor/cTes_PicEditor.h"

#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cVek_ToolBox.h"
#include "engine/tools/s_ToolPars.h"
#include "shell/ShellState.h"
#include "ui/GlDraw.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Window.h"
#include "ui/cVek_Window_Panel.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

using namespace tes::editor;

cTes_PicEditor* gTes_PicEditor = nullptr;

namespace {

// Rows of composite target a band holds: about 256 KiB, so the band is still in the cache when
// it is encoded.
int32_t BandRows(int32_t width) {
    return std::max<int32_t>(1, static_cast<int32_t>((256 * 1024) / (static_cast<int64_t>(width) * 16)));
}

// The picture's outline map only compares a pixel with its left and right neighbours, so the top
// and bottom edges of a selection would not show; this adds the same marks for the neighbours
// above and below (wrapping when the picture repeats vertically, else a missing one counts as
// 1.0) and keeps the larger mark.
void AddVerticalOutline(const c_TesPic& pic, uint8_t* map, int32_t x, int32_t y, int32_t w, int32_t h) {
    const float* v = pic.selection->Pixels();
    const int32_t W = pic.width, H = pic.height;
    for (int32_t r = y; r < y + h; ++r) {
        const float* row = v + static_cast<size_t>(r) * W;
        const float* up = r > 0 ? row - W : (pic.repeatY ? v + static_cast<size_t>(H - 1) * W : nullptr);
        const float* down = r < H - 1 ? row + W : (pic.repeatY ? v : nullptr);
        uint8_t* out = map + static_cast<size_t>(r) * W;
        for (int32_t c = x; c < x + w; ++c) {
            const uint8_t m =
                cTes_Layer_Selection::OutlineMark(up ? up[c] : 1.0f, row[c], down ? down[c] : 1.0f);
            if (m > out[c]) out[c] = m;
        }
    }
}

void DropGrid(std::unique_ptr<TextureGrid>& grid) {
    if (grid) grid->Release();
    grid.reset();
}

} // namespace

// ---- creation and wiring

cTes_PicEditor::cTes_PicEditor() {
    layout.screenX = 100;
    layout.screenY = 100;
    layout.displayWidth = 600;
    layout.displayHeight = 400;
    gTes_PicEditor = this;
}

cTes_PicEditor::~cTes_PicEditor() {
    // The picture window may already be gone (the desktop owns it); it is not touched here.
    if (gTes_PicEditor == this) gTes_PicEditor = nullptr;
}

c_TesPic* cTes_PicEditor::CurrentPicture() const {
    return source_.current ? source_.current(source_.user) : fixedPicture_;
}

void cTes_PicEditor::SetPictureWindow(cVek_Window* window) {
    if (window_ && window_ != window) window_->SetPointerHandler(nullptr, nullptr);
    window_ = window;
    if (window_) window_->SetPointerHandler(PointerTrampoline, this);
}

void cTes_PicEditor::DrawPanel(cVek_Window_Panel& window, void* editor) {
    static_cast<cTes_PicEditor*>(editor)->FrameDraw(window);
}

void cTes_PicEditor::PointerTrampoline(cVek_Window&, const vek::PointerEvent& event, float, float,
                                       void* user) {
    static_cast<cTes_PicEditor*>(user)->HandlePointer(event);
}

void cTes_PicEditor::ResetIdle() const {
    if (cVek_Desktop* d = cVek_Desktop::Current()) d->ResetIdle();
}

// ---- frame

void cTes_PicEditor::FrameDraw(cVek_Window& window) {
    const vek::ui::Rect r = window.Inner();
    const ScreenRect v =
        ViewRectFromDesktop(r.x0, r.y0, r.x1, r.y1, vek::shell::ScreenWidth(), vek::shell::ScreenHeight());
    const cVek_Desktop* d = window.Desktop();
    RunFrame(v, window.IsClosing(), d ? d->FrameTime() : 0.0, vek::ui::gl::Enabled());
}

void cTes_PicEditor::RunFrame(const ScreenRect& viewRect, bool windowClosing, double frameInterval,
                              bool drawGl) {
    // 1. and 2.
    if (const cVek_Desktop* d = cVek_Desktop::Current(); d && d->Closing()) return;
    if (!windowClosing && source_.advanceLoading) source_.advanceLoading(source_.user);
    cVek_ToolBox* tb = toolBox_ ? toolBox_ : gVek_ToolBox;
    if (tb) tb->UpdateSplitState();
    if (drawGl) {
        glActive_ = true;
        DeleteDeadTextures();
    }

    // 3.
    c_TesPic* pic = CurrentPicture();
    if (pic != shownPicture_) {
        shownPicture_ = pic;
        haveLayout_ = false;
        rebuildAll = 1;
    }
    if (tb) tb->SetPicture(pic); // the tools edit the picture shown, or nothing
    if (!pic || !pic->currentLayer || pic->width <= 0 || pic->height <= 0) {
        haveLayout_ = false;
        return;
    }
    const int32_t W = pic->width, H = pic->height;

    // 4. View rectangle and layout.
    view = viewRect;
    LayoutInput in;
    in.screenWidth = vek::shell::ScreenWidth();
    in.screenHeight = vek::shell::ScreenHeight();
    in.view = view;
    in.fullScreen = fullScreenLayout != 0;
    in.integerFit = (source_.integerFit ? *source_.integerFit : integerFit) != 0;
    in.width = W;
    in.height = H;
    in.mode = pic->viewMode;
    in.magnification = pic->magnification;
    in.reduction = pic->reduction;
    in.centreX = pic->centreX;
    in.centreY = pic->centreY;
    in.repeatX = pic->repeatX != 0;
    in.repeatY = pic->repeatY != 0;
    const LayoutResult next = ComputeLayout(in);
    const bool changed = !haveLayout_ || next.displayWidth != layout.displayWidth ||
                         next.displayHeight != layout.displayHeight || next.sourceX != layout.sourceX ||
                         next.sourceY != layout.sourceY || next.sourceWidth != layout.sourceWidth ||
                         next.sourceHeight != layout.sourceHeight ||
                         next.GridFactor() != layout.GridFactor() || W != seenWidth || H != seenHeight ||
                         pic->viewMode != seenMode;
    if (W != seenWidth || H != seenHeight) rebuildAll = 1;
    layout = next;
    seenWidth = W;
    seenHeight = H;
    seenMode = pic->viewMode;
    visibleSourceWidth = layout.sourceWidth;
    visibleSourceHeight = layout.sourceHeight;
    layoutChanged = changed ? 1 : 0;
    haveLayout_ = true;
    if (layout.centreX != pic->centreX || layout.centreY != pic->centreY) {
        pic->centreX = layout.centreX;
        pic->centreY = layout.centreY;
        pic->viewChanged = 1;
        ResetIdle();
    }
    if (layout.displayWidth <= 0 || layout.displayHeight <= 0) return;

    // 5. A new layout needs new grids; a rebuild also a new display image.
    const int32_t channels = pic->paperOn ? 3 : 4;
    if (rebuildAll || displayImage.Empty() || displayImageWidth != W || displayImageHeight != H ||
        displayChannels != channels) {
        displayImage.Free();
        displayImageWidth = W;
        displayImageHeight = H;
        displayChannels = channels;
        pictureRegion = s_TesRegion{1, 0, 0, W, H};
        overlayRegion = s_TesRegion{1, 0, 0, W, H};
        overlay.reset();
        rebuildAll = 0;
        layoutChanged = 1;
    }
    if (layoutChanged) {
        DropGrid(displayGrid);
        DropGrid(overlayGrid);
    }

    // 6. Composite and encode what changed.
    const s_TesRegion region = pictureRegion;
    if (region.valid && !UpdateDisplayImage(*pic)) return; // out of memory: tried again next frame

    // 7. and 8.
    if (drawGl) SyncGrid(displayGrid, {displayImage.As<uint8_t>(), W, H, displayChannels}, false, region);
    pictureRegion.valid = 0;
    UpdateOverlay(*pic, drawGl);

    // 9. and 10.
    if (drawGl) DrawGrids(*pic, frameInterval);
}

bool cTes_PicEditor::UpdateDisplayImage(c_TesPic& pic) {
    const int32_t W = pic.width, H = pic.height, ch = pic.paperOn ? 3 : 4;
    if (displayImage.Empty() || displayImageWidth != W || displayImageHeight != H || displayChannels != ch) {
        if (!displayImage.Alloc(static_cast<size_t>(W) * H * ch)) return false;
        displayImageWidth = W;
        displayImageHeight = H;
        displayChannels = ch;
        pictureRegion = s_TesRegion{1, 0, 0, W, H};
    }
    if (!pictureRegion.valid) return true;
    s_TesRect pieces[4];
    const int n = tes::SplitWrapped(pictureRegion.x, pictureRegion.y, pictureRegion.width,
                                    pictureRegion.height, W, H, pieces);
    for (int i = 0; i < n; ++i)
        if (!EncodeRect(pic, pieces[i].x, pieces[i].y, pieces[i].width, pieces[i].height)) return false;
    return true;
}

// The picture is one plain colour layer over paper (every drawing of the program): the composite
// is then rgb·a + (1 − a)·paper per pixel, which the encoder does in the same pass.
const c_TesLayer_Gfx* cTes_PicEditor::SinglePaintedLayer(c_TesPic& pic) const {
    c_TesLayer* l = pic.bottomLayer;
    if (!l || l != pic.topLayer || !pic.paperOn || displayChannels != 3) return nullptr;
    auto* g = dynamic_cast<c_TesLayer_Gfx*>(l);
    if (!g || !g->visible || g->opacity != 100 || (g->blendOn && g->blendMode != 0)) return nullptr;
    int32_t ml, mt, mr, mb;
    g->GetCompositeMargins(ml, mt, mr, mb);
    if (ml || mt || mr || mb) return nullptr;
    if (!g->EnsurePixels() || g->compacted || g->x != 0 || g->y != 0 || g->width != pic.width ||
        g->height != pic.height)
        return nullptr;
    return g;
}

bool cTes_PicEditor::EncodeRect(c_TesPic& pic, int32_t x, int32_t y, int32_t w, int32_t h) {
    const int32_t W = pic.width, H = pic.height, ch = displayChannels;
    uint8_t* image = displayImage.As<uint8_t>();
    if (const c_TesLayer_Gfx* single = SinglePaintedLayer(pic)) {
        for (int32_t py = y; py < y + h; ++py)
            encoder.RowPaperToRgb(single->Pixels() + (static_cast<size_t>(py) * W + x) * 4,
                                  image + (static_cast<size_t>(py) * W + x) * 3, w, pic.paperColour);
        return true;
    }
    const int32_t band = BandRows(w);
    for (int32_t b0 = 0; b0 < h; b0 += band) {
        const int32_t bh = std::min(band, h - b0);
        if (!pic.CompositeInto(compositeTarget_, x, y + b0, w, bh, false, -1)) return false;
        // The target may be wider than asked (layer margins) and start wrapped on a repeating
        // picture; its rows and columns continue round the picture's edges.
        const c_TesLayer_Gfx& t = compositeTarget_;
        const int32_t col = pic.repeatX ? WrapInto(int64_t(x) - t.x, W) : x - t.x;
        for (int32_t r = 0; r < bh; ++r) {
            const int32_t py = y + b0 + r;
            const int32_t row = pic.repeatY ? WrapInto(int64_t(py) - t.y, H) : py - t.y;
            const float* src = t.Pixels() + (static_cast<size_t>(row) * t.width + col) * 4;
            uint8_t* dst = image + (static_cast<size_t>(py) * W + x) * ch;
            if (ch == 3)
                encoder.RowToRgb(src, dst, w);
            else
                encoder.RowToRgba(src, dst, w);
        }
    }
    return true;
}

void cTes_PicEditor::SyncGrid(std::unique_ptr<TextureGrid>& grid, const ImageRef& image, bool maxFilter,
                              const s_TesRegion& region) {
    if (!grid) {
        auto made = std::make_unique<TextureGrid>();
        if (!made->Create(layout, image.width, image.height, image.channels, maxFilter)) return;
        made->UploadAll(image);
        grid = std::move(made);
        return;
    }
    if (!region.valid) return;
    s_TesRect pieces[4];
    const int n =
        tes::SplitWrapped(region.x, region.y, region.width, region.height, image.width, image.height, pieces);
    for (int i = 0; i < n; ++i)
        grid->Upload(image, pieces[i].x, pieces[i].y, pieces[i].width, pieces[i].height);
}

bool cTes_PicEditor::SelectionActive(const c_TesPic& pic) const {
    const cTes_Layer_Selection* s = pic.selection.get();
    return s && s->visible && s->HasPixels() && !s->compacted && s->width == pic.width &&
           s->height == pic.height;
}

void cTes_PicEditor::UpdateOverlay(c_TesPic& pic, bool drawGl) {
    const int32_t W = pic.width, H = pic.height;
    if (!SelectionActive(pic)) {
        DropGrid(overlayGrid);
        overlay.reset();
        overlayShown_ = false;
        overlayRegion.valid = 0;
        return;
    }
    if (!overlayShown_ || !overlay) {
        overlayShown_ = true;
        overlayRegion = s_TesRegion{1, 0, 0, W, H};
        DropGrid(overlayGrid);
    }
    if (!overlay) {
        auto layer = std::make_unique<c_TesLayer_MonoComp_NoType>();
        if (!layer->Create(0, 0, W, H)) return; // no memory: no outline this frame
        overlay = std::move(layer);
    }
    const s_TesRegion region = overlayRegion;
    s_TesRect pieces[4];
    const int n =
        region.valid ? tes::SplitWrapped(region.x, region.y, region.width, region.height, W, H, pieces) : 0;
    for (int i = 0; i < n; ++i) {
        pic.selection->BuildOutline(*overlay, pieces[i].x, pieces[i].y, pieces[i].width, pieces[i].height);
        AddVerticalOutline(pic, overlay->pixels.As<uint8_t>(), pieces[i].x, pieces[i].y, pieces[i].width,
                           pieces[i].height);
    }
    overlayRegion.valid = 0;
    if (drawGl) SyncGrid(overlayGrid, {overlay->pixels.As<uint8_t>(), W, H, 1}, true, region);
}

void cTes_PicEditor::DrawGrids(c_TesPic& pic, double frameInterval) {
    if (!displayGrid) return;
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    if (vp[2] <= 0 || vp[3] <= 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT |
                 GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Screen pixels, origin top left: a texel edge falls on a pixel edge, so nearest filtering
    // samples texel centres.
    glOrtho(0.0, vp[2], vp[3], 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_SCISSOR_TEST);
    glScissor(view.x, vp[3] - view.y - view.height, view.width, view.height);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (displayChannels == 4)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);

    const bool rx = pic.repeatX != 0, ry = pic.repeatY != 0;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    displayGrid->Draw(layout.screenX, layout.screenY, layout.displayWidth, layout.displayHeight, view, rx,
                      ry);

    if (overlayGrid) {
        // Marching outline: the grey swings from dark to light during one phase and back during
        // the next; the outline's marks (255, 128, 64) give its strength.
        overlayTime += static_cast<float>(frameInterval);
        if (overlayTime > kOverlayStep) {
            ++overlayPhase;
            overlayTime = 0.0f;
        }
        overlaySubPhase = overlayTime / kOverlayStep;
        const float from = (overlayPhase & 1) ? 1.0f : 0.0f;
        const float grey = from + (1.0f - 2.0f * from) * overlaySubPhase;
        glEnable(GL_BLEND);
        glColor4f(grey, grey, grey, 1.0f);
        overlayGrid->Draw(layout.screenX, layout.screenY, layout.displayWidth, layout.displayHeight, view, rx,
                          ry);
        if (cVek_Desktop* d = cVek_Desktop::Current()) d->KeepAnimating();
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void cTes_PicEditor::ReleaseDisplayResources() {
    DropGrid(displayGrid);
    DropGrid(overlayGrid);
    if (glActive_) DeleteDeadTextures();
    displayImage.Free();
    overlay.reset();
    overlayShown_ = false;
    rebuildAll = 1;
    haveLayout_ = false;
    strokeOpen_ = false;
    glActive_ = false;
}

void cTes_PicEditor::DeleteDeadTextures() {
    if (deadTextures_.empty()) return;
    glDeleteTextures(static_cast<GLsizei>(deadTextures_.size()), deadTextures_.data());
    deadTextures_.clear();
}

// ---- changes

void cTes_PicEditor::MarkPictureChanged(int32_t x, int32_t y, int32_t w, int32_t h) {
    MergePending(pictureRegion, x, y, w, h);
}

void cTes_PicEditor::MarkOverlayChanged(int32_t x, int32_t y, int32_t w, int32_t h) {
    // A pixel's outline mark depends on its neighbours on both axes.
    if (w > 0 && h > 0) MergePending(overlayRegion, x - 1, y - 1, w + 2, h + 2);
}

void cTes_PicEditor::MergePending(s_TesRegion& region, int32_t x, int32_t y, int32_t w, int32_t h) {
    c_TesPic* pic = CurrentPicture();
    if (!pic) return;
    pic->ClipRect(x, y, w, h);
    if (w <= 0 || h <= 0) return;
    tes::MergeRegion(region, x, y, w, h, pic->width, pic->height);
    ResetIdle();
}

void cTes_PicEditor::RequestRebuild() {
    rebuildAll = 1;
    ResetIdle();
}

// ---- mapping and pointer

bool cTes_PicEditor::ScreenToPicture(int32_t px, int32_t py, int32_t& x, int32_t& y) const {
    if (!haveLayout_ || !shownPicture_) return false;
    const c_TesPic& p = *shownPicture_;
    return tes::editor::ScreenToPicture(layout, view, p.width, p.height, p.repeatX != 0, p.repeatY != 0,
                                        strokeOpen_, px, py, x, y);
}

bool cTes_PicEditor::ScreenToPictureSubPixel(int32_t px, int32_t py, float& x, float& y) const {
    if (!haveLayout_ || !shownPicture_) return false;
    const c_TesPic& p = *shownPicture_;
    if (subPixelMapping)
        return ScreenToPictureF(layout, view, p.width, p.height, p.repeatX != 0, p.repeatY != 0, strokeOpen_,
                                px, py, x, y);
    int32_t ix = 0, iy = 0;
    const bool inside = ScreenToPicture(px, py, ix, iy);
    x = static_cast<float>(ix);
    y = static_cast<float>(iy);
    return inside;
}

void cTes_PicEditor::HandlePointer(const vek::PointerEvent& e) {
    c_TesPic* pic = CurrentPicture();
    cVek_ToolBox* tb = toolBox_ ? toolBox_ : gVek_ToolBox;
    if (!pic || pic != shownPicture_ || !haveLayout_ || !tb) return;
    const int32_t px = static_cast<int32_t>(e.x), py = static_cast<int32_t>(e.y);
    const uint8_t keys = static_cast<uint8_t>(e.modifiers & 7); // Alt, Ctrl, Shift
    float x = 0.0f, y = 0.0f;
    switch (e.type) {
    case vek::kPointerPress:
        if (e.button != 1 && e.button != 2) return;
        // Another button while the stroke's button is held is ignored; a new press of the same
        // button, or one after the stroke's button was let go, means the stroke lost its release
        // (focus change) and gives way to the new one.
        if (strokeOpen_ && e.button != strokeButton_ && (e.modifiers & vek::ButtonBit(strokeButton_))) return;
        strokeOpen_ = false;
        if (!ScreenToPictureSubPixel(px, py, x, y)) return;
        strokeOpen_ = true;
        strokeButton_ = e.button;
        tb->SetPicture(pic);
        tb->QueueEvent(x, y, e.button, e.time, kToolEventPress, keys);
        break;
    case vek::kPointerMove:
    case vek::kPointerDrag:
        if (!strokeOpen_) return;
        ScreenToPictureSubPixel(px, py, x, y);
        tb->QueueEvent(x, y, 0, e.time, kToolEventMove, keys);
        break;
    case vek::kPointerRelease:
        if (!strokeOpen_ || e.button != strokeButton_) return;
        ScreenToPictureSubPixel(px, py, x, y);
        strokeOpen_ = false;
        tb->QueueEvent(x, y, e.button, e.time, kToolEventRelease, keys);
        break;
    default:
        break;
    }
}

// ---- settings and colours

void cTes_PicEditor::GetStateBytes(uint8_t bytes[2]) const {
    bytes[0] = subPixelMapping ? 1 : 0;
    bytes[1] = static_cast<uint8_t>(magnifier & 0xFF);
}

void cTes_PicEditor::SetStateBytes(const uint8_t bytes[2]) {
    subPixelMapping = bytes[0] ? 1 : 0;
    magnifier = bytes[1] ? bytes[1] : 16; // 0 would be no magnification at all
}

uint32_t cTes_PicEditor::ColourToDisplay(const float rgb[3]) const {
    return static_cast<uint32_t>(encoder.Byte(rgb[0])) << 16 |
           static_cast<uint32_t>(encoder.Byte(rgb[1])) << 8 | encoder.Byte(rgb[2]);
}

// ---- the display interface of the picture

void cTes_PicEditor::RegionChanged(c_TesPic& pic, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (&pic != CurrentPicture()) return;
    MarkPictureChanged(x, y, w, h);
    if (pic.selection) MarkOverlayChanged(x, y, w, h);
}

void cTes_PicEditor::RedrawAll(c_TesPic& pic) {
    if (&pic == CurrentPicture()) RequestRebuild();
}

void cTes_PicEditor::UploadThumbnail(c_TesPic& pic, int32_t slot, const uint32_t* pixels, int32_t w,
                                     int32_t h) {
    if (!glActive_ || slot < 1 || slot > c_TesPic::kThumbnailTextures) return;
    uint32_t& name = pic.thumbnailTextures[slot - 1];
    if (!pixels || w <= 0 || h <= 0) {
        if (name) glDeleteTextures(1, &name);
        name = 0;
        return;
    }
    const int32_t bw = std::max(1, pic.thumbBoxWidth), bh = std::max(1, pic.thumbBoxHeight);
    std::vector<uint8_t> box(static_cast<size_t>(bw) * bh * 4, 0);
    const int32_t cw = std::min(w, bw), chh = std::min(h, bh);
    const int32_t ox = (bw - cw) / 2, oy = (bh - chh) / 2;
    for (int32_t r = 0; r < chh; ++r)
        for (int32_t c = 0; c < cw; ++c) {
            const uint32_t p = pixels[static_cast<size_t>(r) * w + c]; // 0xRRGGBBAA
            uint8_t* d = &box[(static_cast<size_t>(oy + r) * bw + ox + c) * 4];
            d[0] = static_cast<uint8_t>(p >> 24);
            d[1] = static_cast<uint8_t>(p >> 16);
            d[2] = static_cast<uint8_t>(p >> 8);
            d[3] = static_cast<uint8_t>(p);
        }
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (!name) glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, bw, bh, 0, GL_RGBA, GL_UNSIGNED_BYTE, box.data());
    glPopClientAttrib();
    glPopAttrib();
}

void cTes_PicEditor::ReleaseThumbnails(c_TesPic& pic) {
    for (uint32_t& name : pic.thumbnailTextures) {
        if (!name) continue;
        if (glActive_)
            glDeleteTextures(1, &name);
        else
            deadTextures_.push_back(name);
        name = 0;
    }
    cVek_ToolBox* tb = toolBox_ ? toolBox_ : gVek_ToolBox;
    if (tb && tb->picture == &pic) tb->SetPicture(nullptr);
    if (&pic == shownPicture_) {
        // Released from memory or destroyed: never look at it again.
        shownPicture_ = nullptr;
        haveLayout_ = false;
        strokeOpen_ = false;
        rebuildAll = 1;
    }
}
