// The shared layer record and the operations every layer kind has in common: construction and
// unlinking, wrap-around regions (changed and protect), backups and commits, region extraction
// for the history, names, visibility and emptiness.
// Regions are kept in picture coordinates reduced modulo the raster size; every region operation
// splits its rectangle into at most four pieces instead of wrapping pixel by pixel.
#include "engine/picture/c_TesLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/picture/c_TesPic.h"

namespace tes {

namespace {
int32_t Mod(int64_t v, int32_t n) {
    int64_t m = v % n;
    return static_cast<int32_t>(m < 0 ? m + n : m);
}
} // namespace

int SplitWrapped(int32_t x, int32_t y, int32_t w, int32_t h, int32_t rasterW, int32_t rasterH,
                 s_TesRect pieces[4]) {
    if (rasterW <= 0 || rasterH <= 0 || w <= 0 || h <= 0) return 0;
    w = std::min(w, rasterW);
    h = std::min(h, rasterH);
    x = Mod(x, rasterW);
    y = Mod(y, rasterH);
    int32_t xs[2][2] = {{x, std::min(w, rasterW - x)}, {0, x + w - rasterW}};
    int32_t ys[2][2] = {{y, std::min(h, rasterH - y)}, {0, y + h - rasterH}};
    int n = 0;
    for (auto& ry : ys) {
        if (ry[1] <= 0) continue;
        for (auto& rx : xs) {
            if (rx[1] <= 0) continue;
            pieces[n++] = {rx[0], ry[0], rx[1], ry[1]};
        }
    }
    return n;
}

void UnionWrapped(int32_t& start, int32_t& length, int32_t newStart, int32_t newLength, int32_t n) {
    if (n <= 0) return;
    int64_t s1 = Mod(start, n), l1 = length;
    int64_t s2 = Mod(newStart, n), l2 = newLength;
    if (s2 < s1) {
        std::swap(s1, s2);
        std::swap(l1, l2);
    }
    // (s1, l1) is the earlier range on the circle.
    int64_t straight = std::max<int64_t>(0, s2 - (s1 + l1));
    int64_t around = std::max<int64_t>(0, s1 + n - (s2 + l2));
    int64_t lo, hi;
    if (around < straight) {
        lo = s2;
        hi = std::max(s2 + l2, s1 + n + l1);
    } else {
        lo = s1;
        hi = std::max(s1 + l1, s2 + l2);
    }
    if (hi - lo >= n) {
        start = 0;
        length = n;
    } else {
        start = static_cast<int32_t>(lo);
        length = static_cast<int32_t>(hi - lo);
    }
}

void MergeRegion(s_TesRegion& r, int32_t x, int32_t y, int32_t w, int32_t h, int32_t nx, int32_t ny) {
    if (!r.valid) {
        r.valid = 1;
        r.x = nx > 0 ? Mod(x, nx) : x;
        r.y = ny > 0 ? Mod(y, ny) : y;
        r.width = w;
        r.height = h;
        if (nx > 0 && w >= nx) r.x = 0, r.width = nx;
        if (ny > 0 && h >= ny) r.y = 0, r.height = ny;
        return;
    }
    UnionWrapped(r.x, r.width, x, w, nx);
    UnionWrapped(r.y, r.height, y, h, ny);
}

} // namespace tes

c_TesLayer::c_TesLayer(int32_t channelCount, int32_t typeCode, int32_t flag, const float* fill)
    : fillValue(fill), channels(channelCount), type(typeCode), classFlag(flag) {
    std::strcpy(name, "NoName");
}

c_TesLayer::~c_TesLayer() {
    Unlink();
}

void c_TesLayer::Unlink() {
    if (picture) {
        if (picture->currentLayer == this) picture->currentLayer = nullptr;
        if (picture->topLayer == this) picture->topLayer = below;
        if (picture->bottomLayer == this) picture->bottomLayer = above;
    }
    if (below) below->above = above;
    if (above) above->below = below;
    below = above = nullptr;
    picture = nullptr;
}

bool c_TesLayer::CopyRecordFrom(const c_TesLayer& from) {
    if (!pixels.CopyFrom(from.pixels)) return false;
    fillValue = from.fillValue;
    bytesPerChannel = from.bytesPerChannel;
    channels = from.channels;
    x = from.x;
    y = from.y;
    width = from.width;
    height = from.height;
    contentX = from.contentX;
    contentY = from.contentY;
    contentWidth = from.contentWidth;
    contentHeight = from.contentHeight;
    visible = from.visible;
    blendMode = from.blendMode;
    blendOn = from.blendOn;
    opacity = from.opacity;
    std::memcpy(name, from.name, sizeof name);
    type = from.type;
    compacted = from.compacted;
    fullWidth = from.fullWidth;
    fullHeight = from.fullHeight;
    outsideValue = from.outsideValue;
    // The regions describe the source's backup, which the copy does not get.
    changed = s_TesRegion();
    protect = s_TesRegion();
    empty = from.empty;
    headerDirty = 1;
    pixelsDirty = 1;
    classFlag = from.classFlag;
    return true;
}

bool c_TesLayer::CreateRaster(int32_t nx, int32_t ny, int32_t w, int32_t h) {
    if (HasPixels()) return true;
    if (w < 0 || h < 0) return false;
    const uint64_t bytes = static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * channels * 4;
    if (bytes > SIZE_MAX / 2) return false;
    if (!pixels.AllocZeroed(static_cast<size_t>(bytes))) return false;
    bytesPerChannel = 4;
    x = nx;
    y = ny;
    width = w;
    height = h;
    return true;
}

// ---- compaction ----

void c_TesLayer::MarkCompactedWhole() {
    fullWidth = width;
    fullHeight = height;
    compacted = 1;
    contentX = x;
    contentY = y;
    contentWidth = width;
    contentHeight = height;
}

bool c_TesLayer::TrimToContent(float border) {
    if (!HasPixels() || compacted || width <= 0 || height <= 0) return true;
    const float* px = Pixels();
    const size_t step = static_cast<size_t>(channels);
    const bool colour = IsColour();
    // The alpha of a colour pixel, the value of a mono one.
    auto content = [&](int32_t r, int32_t c) {
        const float v = px[(static_cast<size_t>(r) * width + c) * step + step - 1];
        return colour ? v > 0.0f : v != border;
    };
    auto rowHasContent = [&](int32_t r) {
        for (int32_t c = 0; c < width; ++c)
            if (content(r, c)) return true;
        return false;
    };
    // Rows from the top and bottom first, then in the rows between only the columns outside the
    // box found so far.
    int32_t top = -1, bottom = -1, left = width, right = -1;
    for (int32_t r = 0; r < height && top < 0; ++r)
        if (rowHasContent(r)) top = r;
    if (top >= 0) {
        for (int32_t r = height - 1; r >= top && bottom < 0; --r)
            if (rowHasContent(r)) bottom = r;
        for (int32_t r = top; r <= bottom; ++r) {
            for (int32_t c = 0; c < left; ++c)
                if (content(r, c)) {
                    left = c;
                    break;
                }
            for (int32_t c = width - 1; c > right; --c)
                if (content(r, c)) {
                    right = c;
                    break;
                }
        }
    }
    const bool none = top < 0;
    const int32_t cx = none ? 0 : left, cy = none ? 0 : top;
    const int32_t cw = none ? 1 : right - left + 1, ch = none ? 1 : bottom - top + 1;
    if (cw == width && ch == height) {
        MarkCompactedWhole();
        empty = none ? 1 : 0;
        return true;
    }
    const size_t pixelBytes = step * 4;
    vek::MemBlock trimmed;
    if (!trimmed.Alloc(static_cast<size_t>(cw) * ch * pixelBytes)) return false;
    for (int32_t r = 0; r < ch; ++r)
        std::memcpy(trimmed.As<uint8_t>() + static_cast<size_t>(r) * cw * pixelBytes,
                    pixels.As<uint8_t>() + (static_cast<size_t>(cy + r) * width + cx) * pixelBytes,
                    static_cast<size_t>(cw) * pixelBytes);
    pixels = std::move(trimmed);
    fullWidth = width;
    fullHeight = height;
    compacted = 1;
    if (!colour) outsideValue = border;
    empty = none ? 1 : 0;
    x += cx;
    y += cy;
    width = cw;
    height = ch;
    contentX = x;
    contentY = y;
    contentWidth = cw;
    contentHeight = ch;
    return true;
}

bool c_TesLayer::ExpandWith(float outside) {
    if (!HasPixels() || !compacted) return true;
    if (width == fullWidth && height == fullHeight) {
        compacted = 0;
        empty = 0;
        return true;
    }
    if (fullWidth <= 0 || fullHeight <= 0 || x < 0 || y < 0 || x + width > fullWidth ||
        y + height > fullHeight)
        return false; // a content rectangle outside the full raster cannot be placed
    const size_t step = static_cast<size_t>(channels), pixelBytes = step * 4;
    const size_t count = static_cast<size_t>(fullWidth) * fullHeight * step;
    vek::MemBlock full;
    if (outside == 0.0f && !std::signbit(outside)) {
        if (!full.AllocZeroed(count * 4)) return false;
    } else {
        if (!full.Alloc(count * 4)) return false;
        std::fill_n(full.As<float>(), count, outside);
    }
    for (int32_t r = 0; r < height; ++r)
        std::memcpy(full.As<uint8_t>() + (static_cast<size_t>(y + r) * fullWidth + x) * pixelBytes,
                    pixels.As<uint8_t>() + static_cast<size_t>(r) * width * pixelBytes,
                    static_cast<size_t>(width) * pixelBytes);
    // A single pixel of content is what a layer without any compacts to.
    const bool single = width == 1 && height == 1;
    const float singleValue = Pixels()[step - 1];
    pixels = std::move(full);
    x = 0;
    y = 0;
    width = fullWidth;
    height = fullHeight;
    compacted = 0;
    if (single) empty = singleValue == (IsColour() ? 0.0f : outside) ? 1 : 0;
    return true;
}

int32_t c_TesLayer::WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const {
    return position;
}

void c_TesLayer::GetCompositeMargins(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const {
    left = top = right = bottom = 0;
}

void c_TesLayer::CompositeOnto(c_TesLayer_Gfx& target) {}

void c_TesLayer::SaveToBackup(int64_t start, int32_t w, int32_t h) {
    if (!HasPixels() || backup.Size() != pixels.Size() || w <= 0 || h <= 0) return;
    const size_t pixelBytes = static_cast<size_t>(channels) * 4;
    const size_t rowBytes = pixelBytes * width;
    const uint8_t* src = pixels.As<uint8_t>() + start * pixelBytes;
    uint8_t* dst = backup.As<uint8_t>() + start * pixelBytes;
    for (int32_t r = 0; r < h; ++r)
        std::memcpy(dst + r * rowBytes, src + r * rowBytes, pixelBytes * w);
}

void c_TesLayer::RestoreProtectedAlpha(int64_t start, int32_t w, int32_t h) {}

// ---- regions ----

void c_TesLayer::MarkChanged(int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    if (rw <= 0 || rh <= 0) return;
    const int32_t nx = RasterWidth(), ny = RasterHeight();
    tes::MergeRegion(changed, rx, ry, rw, rh, nx, ny);
    tes::MergeRegion(protect, rx, ry, rw, rh, nx, ny);
    headerDirty = 1;
    pixelsDirty = 1;
    empty = 0;
}

void c_TesLayer::ApplyProtection() {
    if (!protect.valid) return;
    protect.valid = 0;
    if (!HasPixels() || compacted) return;
    s_TesRect p[4];
    int n = tes::SplitWrapped(protect.x - x, protect.y - y, protect.width, protect.height, width, height, p);
    for (int i = 0; i < n; ++i)
        RestoreProtectedAlpha(static_cast<int64_t>(p[i].y) * width + p[i].x, p[i].width, p[i].height);
}

bool c_TesLayer::CommitChanges() {
    if (!changed.valid) return true;
    if (!HasPixels()) {
        changed.valid = 0;
        backup.Free();
        return true;
    }
    if (compacted) {
        changed.valid = 0;
        return true;
    }
    ApplyProtection();
    if (backup.Size() != pixels.Size()) {
        // No backup yet (or a stale one of another size): the backup becomes a full copy.
        if (!backup.CopyFrom(pixels)) return false;
        changed.valid = 0;
        return true;
    }
    s_TesRect p[4];
    int n = tes::SplitWrapped(changed.x - x, changed.y - y, changed.width, changed.height, width, height, p);
    float* stroke = nullptr;
    if (picture && !picture->strokeBuffer.Empty() && picture->width == width && picture->height == height)
        stroke = picture->strokeBuffer.As<float>();
    for (int i = 0; i < n; ++i) {
        const int64_t start = static_cast<int64_t>(p[i].y) * width + p[i].x;
        if (stroke)
            for (int32_t r = 0; r < p[i].height; ++r)
                std::fill_n(stroke + start + static_cast<int64_t>(r) * width, p[i].width, 0.0f);
        SaveToBackup(start, p[i].width, p[i].height);
    }
    changed.valid = 0;
    return true;
}

vek::MemBlock* c_TesLayer::EnsureBackup() {
    if (!HasPixels()) return nullptr;
    if (backup.Size() != pixels.Size()) {
        if (!backup.CopyFrom(pixels)) return nullptr;
        changed.valid = 0;
    }
    return &backup;
}

void c_TesLayer::DropBackup() {
    backup.Free();
    changed.valid = 0;
}

namespace {

// Copies the wrapped rectangle between a raster (rasterW × rasterH, `pixelBytes` a pixel) and a
// packed block of w × h pixels. toRaster selects the direction.
void CopyWrapped(uint8_t* raster, int32_t rasterW, int32_t rasterH, uint8_t* packed, int32_t rx, int32_t ry,
                 int32_t w, int32_t h, size_t pixelBytes, bool toRaster) {
    const int32_t sx = tes::Mod(rx, rasterW), sy = tes::Mod(ry, rasterH);
    const int32_t first = std::min(w, rasterW - sx);
    for (int32_t r = 0; r < h; ++r) {
        uint8_t* row = raster + static_cast<size_t>((sy + r) % rasterH) * rasterW * pixelBytes;
        uint8_t* pk = packed + static_cast<size_t>(r) * w * pixelBytes;
        uint8_t* a = row + sx * pixelBytes;
        if (toRaster) {
            std::memcpy(a, pk, first * pixelBytes);
            if (w > first) std::memcpy(row, pk + first * pixelBytes, (w - first) * pixelBytes);
        } else {
            std::memcpy(pk, a, first * pixelBytes);
            if (w > first) std::memcpy(pk + first * pixelBytes, row, (w - first) * pixelBytes);
        }
    }
}

} // namespace

void c_TesLayer::RestoreFromBackup(int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    if (!HasPixels() || compacted) {
        DropBackup();
        return;
    }
    if (backup.Size() != pixels.Size()) return;
    s_TesRect p[4];
    int n = tes::SplitWrapped(rx - x, ry - y, rw, rh, width, height, p);
    const size_t pixelBytes = static_cast<size_t>(channels) * 4;
    for (int i = 0; i < n; ++i)
        for (int32_t r = 0; r < p[i].height; ++r) {
            const size_t off = (static_cast<size_t>(p[i].y + r) * width + p[i].x) * pixelBytes;
            std::memcpy(pixels.As<uint8_t>() + off, backup.As<uint8_t>() + off, p[i].width * pixelBytes);
        }
}

bool c_TesLayer::ExtractChangedRegion(vek::MemBlock& out) const {
    if (!changed.valid || !HasPixels() || compacted || width <= 0 || height <= 0) return false;
    const int32_t w = std::min(changed.width, width), h = std::min(changed.height, height);
    if (w <= 0 || h <= 0) return false;
    const size_t pixelBytes = static_cast<size_t>(channels) * 4;
    vek::MemBlock block;
    if (!block.Alloc(static_cast<size_t>(w) * h * pixelBytes)) return false;
    const vek::MemBlock& from = backup.Size() == pixels.Size() ? backup : pixels;
    CopyWrapped(const_cast<uint8_t*>(from.As<uint8_t>()), width, height, block.As<uint8_t>(), changed.x - x,
                changed.y - y, w, h, pixelBytes, false);
    out = std::move(block);
    return true;
}

bool c_TesLayer::PutRegion(const vek::MemBlock& block, int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    if (!HasPixels() || compacted || rw <= 0 || rh <= 0 || width <= 0 || height <= 0) return false;
    const size_t pixelBytes = static_cast<size_t>(channels) * 4;
    if (block.Empty() || block.Size() < static_cast<size_t>(rw) * rh * pixelBytes) return false;
    // A block wider than the raster holds its rows at the block's width; only the first raster
    // width (height) of it can land anywhere.
    const int32_t w = std::min(rw, width), h = std::min(rh, height);
    const int32_t sx = tes::Mod(rx - x, width), sy = tes::Mod(ry - y, height);
    const int32_t first = std::min(w, width - sx);
    for (int32_t r = 0; r < h; ++r) {
        uint8_t* row = pixels.As<uint8_t>() + static_cast<size_t>((sy + r) % height) * width * pixelBytes;
        const uint8_t* pk = block.As<uint8_t>() + static_cast<size_t>(r) * rw * pixelBytes;
        std::memcpy(row + sx * pixelBytes, pk, first * pixelBytes);
        if (w > first) std::memcpy(row, pk + first * pixelBytes, (w - first) * pixelBytes);
    }
    return true;
}

// ---- names, visibility, emptiness ----

void c_TesLayer::SetName(const char* text) {
    if (!text || !*text) text = "NoName";
    size_t n = 0;
    while (n < 20 && text[n]) {
        name[n] = text[n];
        ++n;
    }
    name[n] = 0;
    headerDirty = 1;
}

void c_TesLayer::Show() {
    if (!visible) headerDirty = 1;
    visible = 1;
}

void c_TesLayer::Hide() {
    if (visible) headerDirty = 1;
    visible = 0;
}

bool c_TesLayer::IsEmpty() const {
    if (compacted && width >= 2 && height >= 2) return false;
    if (!HasPixels()) return true;
    return empty != 0;
}

int32_t c_TesLayer::StackPosition() const {
    if (!picture) return 0;
    int32_t pos = 1;
    for (const c_TesLayer* l = below; l; l = l->below)
        ++pos;
    return pos;
}

bool c_TesLayer::EnsurePixels() {
    if (HasPixels()) return true;
    if (!picture || !picture->store || bytesPerChannel == 0) return false;
    picture->store->LoadPixels(*picture, *this, *this);
    return HasPixels();
}
