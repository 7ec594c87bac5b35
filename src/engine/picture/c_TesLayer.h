// Abstract base of every layer kind: the shared layer record and the table of virtual operations.
//
// A layer is one contiguous float raster (row-major, top row first, no gap between rows) covering
// the rectangle x, y, width, height of its picture; colour layers hold straight linear RGBA (16
// bytes a pixel), mono layers one float a pixel. While compacted the block holds only the content
// rectangle. Region operations take picture coordinates and wrap around the raster (up to four
// pieces), so a stroke across the edge of a repeating picture stays one region.
// Record fields are public on purpose: the file store reads and writes them directly.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/MemBlock.h"

class c_TesPic;
class c_TesLayer_Gfx;

// A validity flag and a rectangle (changed region, protect region).
struct s_TesRegion {
    int32_t valid = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// A plain rectangle; pieces of a wrapped region.
struct s_TesRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

namespace tes {

// Splits the rectangle (x, y, w, h) on a circle of size rasterW × rasterH into at most four pieces
// lying inside 0..rasterW × 0..rasterH: the start is reduced modulo the raster size and a length
// beyond the raster is cut to it. Returns the number of pieces (0 for an empty rectangle or raster).
int SplitWrapped(int32_t x, int32_t y, int32_t w, int32_t h, int32_t rasterW, int32_t rasterH,
                 s_TesRect pieces[4]);

// Wrap-around union of one axis (start, length) with (newStart, newLength) on a circle of n:
// the shorter of the two ways round wins (ties keep the straight way); a union of n or more
// becomes (0, n). The new start is reduced modulo n first.
void UnionWrapped(int32_t& start, int32_t& length, int32_t newStart, int32_t newLength, int32_t n);

// Adds the rectangle to a region on a rasterW × rasterH circle: an invalid region becomes the
// rectangle (start reduced, a length of the raster size or more becomes the whole axis), a valid
// one the wrap-around union on each axis.
void MergeRegion(s_TesRegion& region, int32_t x, int32_t y, int32_t width, int32_t height, int32_t rasterW,
                 int32_t rasterH);

} // namespace tes

class c_TesLayer {
  public:
    // ---- the shared layer record, in declaration order ----
    c_TesLayer* below = nullptr; // next layer toward the bottom of the stack
    c_TesLayer* above = nullptr; // next layer toward the top
    c_TesPic* picture = nullptr; // owning picture; null while free-standing
    vek::MemBlock pixels;        // the raster; empty = no pixels
    vek::MemBlock backup;        // pixels as they were before the current stroke; empty until needed
    vek::MemBlock thumbnail;     // 8-bit thumbnail (one uint32 a pixel, 0xRRGGBBAA); empty = none
    const float* fillValue;      // value of new or cleared mono pixels (0.0; the selection 1.0)
    int32_t bytesPerChannel = 0; // 0 while the layer has no pixels, 4 once it has
    int32_t channels;            // 4 colour, 1 mono
    int32_t id = 0;              // unique within the picture; 0 = not yet assigned
    int32_t x = 0, y = 0, width = 0, height = 0; // rectangle the pixel block covers, picture pixels
    int32_t contentX = 0, contentY = 0, contentWidth = 0, contentHeight = 0; // kept while compacted
    int32_t visible = 1;
    int32_t blendMode = 0;     // blend-mode number (BlendModes.h)
    int32_t blendOn = 0;       // 0: drawn Normal whatever blendMode says
    int32_t thumbnailSlot = 0; // 1-based stack position from the bottom, last computed
    int32_t opacity = 100;     // percent, 0..100
    char name[21];             // up to 20 characters and terminator
    int32_t type;              // type code: 1 colour, 2 filter, 3 wax, 5 texture, 6 selection, 0 mono base
    int32_t compacted = 0;     // 1 while the block holds only the content rectangle
    int32_t fullWidth = 0, fullHeight = 0; // size of the uncompacted raster
    float outsideValue = 0.0f;             // mono: value of everything outside the content while compacted
    s_TesRegion changed;                   // union of everything painted since the backup was refreshed
    s_TesRegion protect;                   // union of everything painted since protection was applied
    int32_t empty = 1;                     // the layer is known to hold nothing
    uint8_t headerDirty = 1;               // settings changed since last saved
    uint8_t pixelsDirty = 1;               // pixels changed since last saved
    int32_t classFlag;                     // colour: protect transparency; mono: neutral value is 1.0

    // ---- virtual operations, in slot order ----
    // Frees the blocks and unlinks the layer; a layer of a picture also fixes the picture's ends
    // and current layer (the picture then has no current layer and chooses anew).
    virtual ~c_TesLayer();
    // Free-standing copy of the record and the pixels: no backup, thumbnail, id or thumbnail slot;
    // header and pixels dirty. Null when memory runs out.
    virtual std::unique_ptr<c_TesLayer> Clone() const = 0;
    // true: trim the block to its content; false: expand back to the full size. False only when
    // memory ran out, and the layer is then unchanged.
    virtual bool SetCompact(bool compact) = 0;
    // Allocates width·height zeroed pixels if the layer has none. False when memory runs out.
    virtual bool Create(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // Appends the class block's contents (sub-chunks only, without the enclosing head) at
    // `position`, growing `buffer` when needed. Returns the new end, or -1 (buffer unchanged).
    virtual int32_t WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const;
    // Reads the class block's contents (the sub-chunks). False when they are malformed.
    virtual bool ReadTypeBlock(const uint8_t* data, int32_t size) = 0;
    // Extra pixels this layer needs around the area it draws (filters); all 0 by default.
    virtual void GetCompositeMargins(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const;
    // Maps red, green and blue in 0..1 through a table of `count` entries (colour only).
    virtual void ApplyCurve(int32_t count, const float* table);
    // Draws the layer onto a colour composite target (see c_TesLayer_Gfx::compositeWindow).
    virtual void CompositeOnto(c_TesLayer_Gfx& target);
    // Takes the source's pixels, converting between colour and mono. channelFlags: bit 0 red,
    // bit 1 green, bit 2 blue, bit 3 alpha. False when memory runs out (layer unchanged).
    virtual bool CopyFrom(const c_TesLayer& source, uint32_t channelFlags);
    // Colour: every channel 0. Mono: every pixel the fill value. Empty set; header and pixels dirty.
    virtual void Clear() = 0;
    // Exact-area rescale of the raster to width × height. False when memory runs out (unchanged).
    virtual bool Resample(int32_t width, int32_t height) = 0;
    // Separable blur with `kernelSize` weights centred at kernelSize/2; rowBuffer holds one row or
    // column of source pixels (max(width, height) · channels floats). False when memory runs out.
    virtual bool Blur(int32_t kernelSize, const double* kernel, float* rowBuffer, bool wrapX, bool wrapY) = 0;
    // Copies width × height pixels from the pixels to the backup, rows stepping by the raster width;
    // start is the element index of the top-left pixel.
    virtual void SaveToBackup(int64_t start, int32_t width, int32_t height);
    // Colour with protect transparency: copies the region's alpha back from the backup.
    virtual void RestoreProtectedAlpha(int64_t start, int32_t width, int32_t height);
    // Rebuilds the 8-bit thumbnail at the picture's thumbnail size (base: frees it).
    virtual void UpdateThumbnail();
    // Hands the thumbnail to the picture's display for this layer's stack position.
    virtual void UploadThumbnail() = 0;
    // Colour: alpha · (1 − m) where m > 0. The mask has one float a pixel; each mask row is
    // followed by maskRowSkip further values.
    virtual void EraseByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                             int32_t maskRowSkip) = 0;
    // Colour: alpha · m where m < 1; with no mask alpha becomes 0.
    virtual void KeepByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                            int32_t maskRowSkip) = 0;

    // ---- non-virtual operations ----
    bool HasPixels() const { return !pixels.Empty(); }
    bool IsColour() const { return channels == 4; }
    float* Pixels() { return pixels.As<float>(); }
    const float* Pixels() const { return pixels.As<float>(); }
    // Size of the raster when expanded (fullWidth/fullHeight while compacted).
    int32_t RasterWidth() const { return compacted ? fullWidth : width; }
    int32_t RasterHeight() const { return compacted ? fullHeight : height; }

    // Adds the rectangle to the changed and protect regions (wrap-around union); header and pixels
    // dirty; not empty.
    void MarkChanged(int32_t x, int32_t y, int32_t width, int32_t height);
    // Restores protected alpha over the protect region's pieces and clears that region.
    void ApplyProtection();
    // Ends a stroke: protection, then the backup brought up to date over the changed region and the
    // picture's stroke buffer cleared there; the changed region is cleared. False only when a first
    // full backup could not be allocated (the region then stays valid).
    bool CommitChanges();
    // The backup, made a full copy of the pixels if there was none (the changed region is then
    // cleared). Null when the layer has no pixels or memory runs out.
    vek::MemBlock* EnsureBackup();
    // Frees the backup and clears the changed region.
    void DropBackup();
    // Copies the rectangle (wrapped) from the backup into the pixels; with no pixels or while
    // compacted the backup is dropped instead.
    void RestoreFromBackup(int32_t x, int32_t y, int32_t width, int32_t height);
    // The changed region's pixels, from the backup (from the pixels when there is no backup), rows
    // packed at the region's width, into `out`. False (out untouched) when the region is invalid,
    // the layer has no pixels or is compacted, or memory runs out.
    bool ExtractChangedRegion(vek::MemBlock& out) const;
    // Writes packed rows (width·height pixels of this layer's channel count) into the pixels at the
    // rectangle, wrapping. False when the layer has no pixels or is compacted, or the block is short.
    bool PutRegion(const vek::MemBlock& block, int32_t x, int32_t y, int32_t width, int32_t height);
    // At most 20 characters; null or "" gives "NoName". Header dirty.
    void SetName(const char* text);
    void Show();
    void Hide();
    // Compacted and at least 2 × 2: not empty; no pixels: empty; else the stored flag.
    bool IsEmpty() const;
    // The layer's picture position from the bottom, 1-based; 0 when free-standing.
    int32_t StackPosition() const;
    // Loads the pixels through the picture's store when the layer has none but should (a layer
    // read from a file starts without its pixel block). True when the layer has pixels afterwards.
    bool EnsurePixels();

    // ---- layer pixel operations (whole raster or rectangle) ----
    // Shifts the raster with wrap-around; header and pixels dirty.
    void ScrollBy(int32_t dx, int32_t dy);
    // Bit 0 mirrors left-right, bit 1 top-bottom; header and pixels dirty.
    void Flip(int32_t flags);
    // Quarter turns clockwise (taken modulo 4); width and height swap for odd turns. False when the
    // new block cannot be allocated (layer unchanged).
    bool Turn(int32_t quarterTurns);
    // Grows (positive) or crops (negative) each side; new colour pixels transparent black, new mono
    // pixels the fill value. False when memory runs out (layer unchanged).
    bool AddMargins(int32_t left, int32_t right, int32_t top, int32_t bottom);
    // EraseByMask / KeepByMask over the rectangle (wrapped) with a same-size mono mask layer.
    void EraseMasked(int32_t x, int32_t y, int32_t width, int32_t height, const c_TesLayer& mask);
    void KeepMasked(int32_t x, int32_t y, int32_t width, int32_t height, const c_TesLayer* mask);
    // "Scale Layer": records the current layer in the history, resamples to the percentages and
    // re-centres at the old size. False when memory runs out.
    bool ScaleLayer(int32_t xScalePercent, int32_t yScalePercent);
    // "Scroll Layer": records the current layer in the history, then ScrollBy.
    void ScrollLayer(int32_t distance, bool left, bool right, bool up, bool down);
    // Converts the float raster to 8 bits a channel in place (colour: 0xRRGGBBAA per pixel).
    bool ToEightBit();

  protected:
    c_TesLayer(int32_t channels, int32_t type, int32_t classFlag, const float* fillValue);
    c_TesLayer(const c_TesLayer&) = delete;
    c_TesLayer& operator=(const c_TesLayer&) = delete;
    // Clone helper: copies the record (not links, blocks, id, thumbnail slot) and the pixel block
    // from `from` into this fresh layer. False when the pixel copy fails.
    bool CopyRecordFrom(const c_TesLayer& from);
    // Create for every kind: width·height zeroed pixels of the layer's channel count.
    bool CreateRaster(int32_t x, int32_t y, int32_t width, int32_t height);
    // Compaction for every kind. Content is a colour pixel with alpha above 0, or a mono pixel
    // that differs from `border`. Trims the block to the content's bounding box (the top-left pixel
    // when there is none; a trimmed mono layer keeps `border` as its outside value). False only
    // when the smaller block cannot be allocated (layer unchanged).
    bool TrimToContent(float border);
    // Marks the whole raster as the content of a compacted layer; nothing moves.
    void MarkCompactedWhole();
    // Grows a compacted block back to the full size with `outside` around the content. False
    // (unchanged) when memory runs out or the content does not fit the full raster.
    bool ExpandWith(float outside);
    // Unlinks from the neighbours and fixes the picture's ends and current layer.
    void Unlink();

    friend class c_TesPic;
};
