// Single-component layer: one float a pixel. Base of every mono kind (mask grouping, filter, wax,
// texture, selection); never stored in a file as itself (type 0).
//
// Compaction trims away a border of one constant value (chosen from the corners) and keeps it as
// the outside value. The class flag says whether the kind's neutral value is 1.0 (else 0.0): the
// composite skips the outside area when the outside value is neutral.
#pragma once

#include "engine/picture/c_TesLayer.h"

class c_TesLayer_MonoComp_NoType : public c_TesLayer {
  public:
    c_TesLayer_MonoComp_NoType();
    ~c_TesLayer_MonoComp_NoType() override;

    std::unique_ptr<c_TesLayer> Clone() const override;
    bool SetCompact(bool compact) override;
    bool Create(int32_t x, int32_t y, int32_t width, int32_t height) override;
    int32_t WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const override;
    bool ReadTypeBlock(const uint8_t* data, int32_t size) override;
    // Hands the covered target area to ApplyToComposite (and, while compacted, the area outside the
    // content with no mask when the outside value is not neutral).
    void CompositeOnto(c_TesLayer_Gfx& target) override;
    bool CopyFrom(const c_TesLayer& source, uint32_t channelFlags) override;
    void Clear() override;
    bool Resample(int32_t width, int32_t height) override;
    bool Blur(int32_t kernelSize, const double* kernel, float* rowBuffer, bool wrapX, bool wrapY) override;
    void UpdateThumbnail() override;
    void UploadThumbnail() override;
    void EraseByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                     int32_t maskRowSkip) override;
    void KeepByMask(int64_t start, int32_t width, int32_t height, const float* mask,
                    int32_t maskRowSkip) override;
    // Applies the layer to `width` × `height` target pixels (RGBA floats; each target row is followed
    // by targetRowSkip further pixels) with mask values (one float a pixel, each row followed by
    // maskRowSkip further values); a null mask means every value is the outside value.
    // opacity in percent. The mono base does nothing.
    virtual void ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask,
                                  int32_t maskRowSkip, int32_t width, int32_t height, int32_t opacity);

    bool NeutralIsOne() const { return classFlag != 0; }

  protected:
    // For the kinds: class flag and fill value differ.
    c_TesLayer_MonoComp_NoType(int32_t type, int32_t classFlag, const float* fillValue);
    // Makes an empty layer of the same class (for Clone).
    virtual std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeSame() const;
};
