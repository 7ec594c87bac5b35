// A picture: an ordered stack of layers of one size, a paper colour, an optional selection, its
// history, and the bookkeeping of the editor, the history and the file store.
//
// The stack is the doubly linked list through c_TesLayer::below/above; the picture owns every
// layer in it and deletes them. While the stack is not empty there is a current layer, and it is
// the only expanded one (the selection is expanded while in use). Files, the history and the
// screen are reached through the three interfaces store, history and display (each may be null).
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/cTes_PicDisplay.h"
#include "engine/picture/cTes_PicHistory.h"
#include "engine/picture/cTes_PicStore.h"
#include "shell/MemBlock.h"

class c_TesLayer_Filter;
class c_TesLayer_Wax;
class c_TesLayer_Texture;
class c_TesPortfolio;

class c_TesPic {
  public:
    static constexpr int kThumbnailTextures = 30;

    // ---- fields, in declaration order ----
    std::unique_ptr<cTes_PicHistory> history;
    float paperColour[3] = {1.0f, 1.0f, 1.0f};
    int32_t paperOn = 1;
    char name[21];
    int32_t layerCounter = 0; // last layer id handed out
    int32_t width = 0, height = 0;
    uint8_t repeatX = 0, repeatY = 0;             // the picture wraps around (tiles)
    int32_t centreX = 0, centreY = 0;             // centre of view, picture pixels
    float cloneSourceX = NAN, cloneSourceY = NAN; // NaN = not defined
    c_TesLayer* topLayer = nullptr;
    c_TesLayer* bottomLayer = nullptr;
    c_TesLayer* currentLayer = nullptr;
    std::unique_ptr<cTes_Layer_Selection> selection;
    std::unique_ptr<c_TesLayer> forcedMask;              // overrides selection and wax as the painting mask
    uint32_t thumbnailTextures[kThumbnailTextures] = {}; // GL names, kept by the display
    int32_t thumbBoxWidth = 32, thumbBoxHeight = 32;
    int32_t thumbWidth = 32, thumbHeight = 32;
    vek::MemBlock strokeBuffer; // one float a picture pixel, made on first use
    int32_t magnification = 4, reduction = 4;
    int8_t viewMode = 5;
    uint8_t hasSavepoint = 0;
    uint8_t emptyFlag = 1; // refreshed by IsEmpty
    uint8_t bookmark = 0;
    uint8_t headerDirty = 1;
    int32_t nameNumber = 0;
    vek::MemBlock palette4;  // 4 colours of three floats, made on first use (GetPalette)
    vek::MemBlock palette20; // 20 colours of three floats

    // ---- what the portfolio and the editor keep in a picture ----
    c_TesPortfolio* portfolio = nullptr;
    c_TesPic* previous = nullptr;
    c_TesPic* next = nullptr;
    int32_t pictureNumber = 0;
    std::string folderName;
    uint8_t viewChanged = 0; // set by the editor when it moves the centre of view

    // ---- borrowed services (null allowed) ----
    cTes_PicStore* store = nullptr;     // file access of the portfolio
    cTes_PicDisplay* display = nullptr; // the editor

    // Fields to defaults and SetSize; no layers. The history may be null (given later).
    c_TesPic(int32_t width, int32_t height, std::unique_ptr<cTes_PicHistory> history = nullptr);
    // Releases the thumbnail textures, then destroys the selection, the forced mask and every
    // layer from the bottom up.
    ~c_TesPic();
    c_TesPic(const c_TesPic&) = delete;
    c_TesPic& operator=(const c_TesPic&) = delete;

    // ---- size and name ----
    // Stores the size, rescales the centre of view, sets the thumbnail box and size, frees the
    // stroke buffer and drops every layer's backup. Header dirty. Sizes below 1 become 1.
    void SetSize(int32_t width, int32_t height);
    // At most 20 characters; null or "" gives "NoName"; a trailing "_digits" is cut off.
    void SetName(const char* text);
    // The number of a trailing "_digits" part of `text`, or 0 when there is none.
    static int32_t ParseNameNumber(const char* text);

    // ---- the stack ----
    // Links a layer in and takes ownership: where 0 replaces the current layer (which is
    // destroyed), 1 directly above the current layer, 2 directly below it, 4 below the bottom
    // layer, anything else above the top. The layer gets an id if it has none and becomes current.
    // Returns the layer (null only for a null argument).
    c_TesLayer* InsertLayer(std::unique_ptr<c_TesLayer> layer, int32_t where);
    // Sets the ends from any layer of the stack and uploads every layer's thumbnail.
    void RecomputeEnds(c_TesLayer* any);
    // New layers of the picture size. Null when memory runs out (picture unchanged). With
    // reduceWhenShort a colour layer that would not fit the memory budget first scales the whole
    // picture down (ReduceForNewLayer).
    c_TesLayer_Gfx* AddColourLayer(bool reduceWhenShort = false);
    c_TesLayer_Filter* AddFilterLayer();
    c_TesLayer_Wax* AddWaxLayer();         // above the top layer, made current
    c_TesLayer_Texture* AddTextureLayer(); // below the bottom layer, made current
    // Copy of a layer of this or another picture, above the current layer, fitted and centred at
    // the picture size. Null on failure (picture unchanged).
    c_TesLayer* AddLayerCopy(const c_TesLayer& source);
    c_TesLayer* FindLayer(int32_t id) const;
    // Compacts the old current layer, expands the new one and shows it. Null allowed.
    void SetCurrent(c_TesLayer* layer);
    void SetCurrentById(int32_t id);
    // how: 1 one step up, 2 one step down, 3 to the top, 4 to the bottom. Header dirty.
    void MoveLayer(c_TesLayer* layer, int32_t how);
    // direction 0: the layer above is merged into `layer`; 1: `layer` is merged into the layer
    // below. The lower layer must be a colour layer. Records a picture step. False when refused.
    bool MergeLayer(c_TesLayer* layer, int32_t direction);
    // Records a picture step, deletes the layer's files and destroys it; refused (false) for the
    // last colour layer.
    bool DestroyLayer(c_TesLayer* layer);
    int32_t LayerCount() const;
    // The layer at a 1-based position from the bottom, or null.
    c_TesLayer* LayerAt(int32_t position) const;

    // ---- masks ----
    // The selection, created (everything selected, visible, new id) when missing. Null when
    // memory runs out.
    cTes_Layer_Selection* GetSelection();
    // The forced mask; else the visible selection; else the nearest visible wax above the current
    // layer (each expanded first); else null.
    c_TesLayer* GetPaintMask();

    // ---- composite ----
    // The flattened picture over the rectangle as a new free-standing colour layer (the caller
    // owns it). includeHidden draws hidden layers too; paperMode 0 no paper, 1 paper, -1 the
    // picture's paperOn. Null with no layers or when memory runs out.
    std::unique_ptr<c_TesLayer_Gfx> Composite(int32_t x, int32_t y, int32_t width, int32_t height,
                                              bool includeHidden, int32_t paperMode);
    // The same into a target the caller keeps between calls (its pixel block is reused when it
    // already has the right size, so no fresh pages are touched). False (target unchanged) with no
    // layers or when memory runs out.
    bool CompositeInto(c_TesLayer_Gfx& target, int32_t x, int32_t y, int32_t width, int32_t height,
                       bool includeHidden, int32_t paperMode);
    // Clips a rectangle to the picture: repeating axes wrap (start into 0..size−1, length at most
    // size), other axes are cut; a rectangle wholly outside gets width (or height) 0.
    void ClipRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;

    // ---- memory ----
    // What a refused size says: for a new or scaled picture, and for margins.
    static constexpr const char* kTextSizeNeedsMemory =
        "That size would require more free memory\rthan you currently have.\rPlease choose a smaller size.";
    static constexpr const char* kTextMarginsNeedMemory =
        "The resulting size would require more\rfree memory than you currently have.\rPlease enter smaller "
        "values.";
    // Whether a picture of width × height (0 = the picture's own) with `extraLayers` more layers of
    // `kind` fits the memory budget. picture may be null.
    static bool CheckMemory(int32_t width, int32_t height, const c_TesPic* picture, int32_t extraLayers,
                            int32_t kind);
    // Largest pixel count that fits the budget with one more layer of `kind`.
    static uint64_t MaxPixels(int32_t kind, const c_TesPic* picture);
    // Scales the picture down so one more colour layer fits: factor √(MaxPixels / pixels), 0.8
    // when above 0.85; width rounded down to a multiple of 10. False when scaling failed.
    bool ReduceForNewLayer();

    // ---- whole-picture operations (every layer and the selection) ----
    bool ScalePicture(int32_t width, int32_t height);
    bool AddPictureMargins(int32_t left, int32_t right, int32_t top, int32_t bottom);
    bool CropPicture(bool useSelection, int32_t margin);
    bool FlipPicture(int32_t flags);
    bool TurnPicture(int32_t quarterTurns);

    // ---- misc ----
    // One float a picture pixel, zeroed when made. Null when memory runs out.
    float* GetStrokeBuffer();
    // AND of every layer's IsEmpty (the stored flag with no layers); stored, header dirty on change.
    bool IsEmpty();
    // Palette table 0 (4 colours) or 1 (20 colours), three floats a colour, made from the built-in
    // defaults on first use. Null when memory runs out.
    float* GetPalette(int32_t which);
    // Tells the display that a region changed / everything changed (no-op headless).
    void RegionChanged(int32_t x, int32_t y, int32_t width, int32_t height);
    void RedrawAll();
    // Drops the thumbnail textures (picture released from memory).
    void ReleaseDisplay();
    // Hands a new layer its id (layerCounter + 1) if it has none.
    void AssignId(c_TesLayer& layer);

  private:
    // Composite core shared by Composite and CompositeInto; target already sized to the rectangle.
    void CompositeLayers(c_TesLayer_Gfx& target, bool includeHidden, int32_t paperMode);
};
