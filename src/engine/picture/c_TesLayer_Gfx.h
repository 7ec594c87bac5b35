// Colour layer: four straight (not premultiplied) linear floats a pixel, red, green, blue, alpha.
//
// Compaction trims to the bounding box of pixels with alpha above 0. The class flag is "protect
// transparency": tools then cannot change any pixel's alpha (restored from the backup at commit).
// A colour layer is also the composite target: compositeWindow limits where layers may draw.
#pragma once

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/s_TesImage.h"

class c_TesLayer_Gfx : public c_TesLayer {
  public:
    c_TesLayer_Gfx();
    ~c_TesLayer_Gfx() override;

    std::unique_ptr<c_TesLayer> Clone() const override;
    bool SetCompact(bool compact) override;
    bool Create(int32_t x, int32_t y, int32_t width, int32_t height) override;
    int32_t WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const override;
    bool ReadTypeBlock(const uint8_t* data, int32_t size) override;
    void ApplyCurve(int32_t count, const float* table) override;
    // Draws onto a colour target with this layer's opacity and blend mode (see c_TesPic::Composite).
    void CompositeOnto(c_TesLayer_Gfx& target) override;
    bool CopyFrom(const c_TesLayer& source, uint32_t channelFlags) override;
    void Clear() override;
    bool Resample(int32_t width, int32_t height) override;
    bool Blur(int32_t kernelSize, const double* kernel, float* rowBuffer, bool wrapX, bool wrapY) override;
    void RestoreProtectedAlpha(int64_t start, int32_t width, int32_t height) override;
    void UpdateThumbnail() override;
    void UploadThumbnail() override;
    void EraseByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                     int32_t maskRowSkip) override;
    void KeepByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                    int32_t maskRowSkip) override;
    // Takes a decoded image (format 5 float RGBA: the block is taken over; 1: 8-bit B, G, R, x;
    // 2: 8-bit B, G, R, A). False for an unknown format, a short block or no memory (unchanged).
    virtual bool SetFromImage(s_TesImage& image);

    bool ProtectTransparency() const { return classFlag != 0; }

    // Composite targets only (not part of the stored record): the rectangle, in the target's
    // unwrapped picture coordinates (x .. x + width may run past a repeating picture's edge), that
    // CompositeOnto may touch; a width below 0 (the default) means the whole raster, a width or
    // height of 0 nothing. c_TesPic::Composite sets it band by band.
    s_TesRect compositeWindow = {0, 0, -1, -1};
    void SetWindowToRaster() { compositeWindow = {x, y, width, height}; }
    // Composite targets only: raster rows [pendingClearFrom, pendingClearTo) hold stale values
    // that must read as 0. The first layer that draws into the target settles them through
    // ResolvePendingClear, skipping the rectangle (raster-relative) it is about to write in full,
    // so the target's pages are written once. Outside c_TesPic::CompositeInto both are 0.
    int32_t pendingClearFrom = 0, pendingClearTo = 0;
    // With `paper` the settled pixels become the paper colour with alpha 1 instead of 0.
    void ResolvePendingClear(int32_t keepX, int32_t keepY, int32_t keepWidth, int32_t keepHeight,
                             const float* paper = nullptr);
    // Composite targets only: set by the composite for the last layer it calls in a band when the
    // paper goes under that band. A layer that lays the paper itself in the same pass (over the
    // whole band) sets compositePaperLaid; the composite then skips its own paper step.
    const float* compositePaper = nullptr;
    uint8_t compositePaperLaid = 0;
};
