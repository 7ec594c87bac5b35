// Picture file format: writers and validating readers.
//
// Index: layer factory and limits; picture header (write, read); layer header (write, read);
// single-form file (write, read, assemble).
#include "engine/storage/c_TesPicFile.h"

#include "engine/picture/BlendModes.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/c_TesLayer_Filter.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesLayer_Texture.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "shell/MemoryBudget.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int64_t kMaxPixels = int64_t(1) << 29; // keeps every element index of a colour raster in 32 bits
constexpr size_t kMaxThumbnailBytes = 64 * 32 * 4;
// Layer ids and the counter they come from stay far enough below 2^31 that handing out new ids
// can never overflow.
constexpr int32_t kMaxLayerId = 0x7FFF0000;
constexpr size_t kPalette4Bytes = 4 * 3 * 4;
constexpr size_t kPalette20Bytes = 20 * 3 * 4;

// Chunk lookup that remembers a chunk present with too short a payload (a malformed file).
struct Lookup {
    const c_VekFil_ChunkReader& r;
    bool bad = false;
    const c_VekFil_Chunk* operator()(uint32_t tag, size_t minPayload) {
        return r.Find(tag, minPayload, &bad);
    }
};

// Name chunk payload: characters up to the first zero byte, at most 20.
size_t NameLength(const c_VekFil_Chunk& c) {
    size_t n = 0;
    while (n < c.size && n < 20 && c.data[n] != 0)
        ++n;
    return n;
}

void WriteName(c_VekFil_ChunkWriter& w, uint32_t tag, const char* name) {
    w.Chunk(tag, name, strnlen(name, 20));
}

int32_t FactorFromFile(float f) {
    // Converted to an integer; anything outside 1..1000000 (NaN included) becomes 1.
    if (!(f >= 1.0f && f < 1000001.0f)) return 1;
    return static_cast<int32_t>(f);
}

template <class F> void ForEachLayer(c_TesPic& pic, F f) {
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        f(*l);
    if (pic.selection) f(*pic.selection);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Layer factory and limits

std::unique_ptr<c_TesLayer> c_TesPicFile::MakeLayer(int32_t type) {
    switch (type) {
    case 0:
        return std::make_unique<c_TesLayer_MonoComp_NoType>();
    case 1:
        return std::make_unique<c_TesLayer_Gfx>();
    case 2:
        return std::make_unique<c_TesLayer_Filter>();
    case 3:
        return std::make_unique<c_TesLayer_Wax>();
    case 5:
        return std::make_unique<c_TesLayer_Texture>();
    case 6:
        return std::make_unique<cTes_Layer_Selection>();
    default:
        return nullptr;
    }
}

uint64_t c_TesPicFile::MaxFileBytes() {
    return vek::MemoryBudgetMB() * uint64_t(1048576);
}

bool c_TesPicFile::SaneRaster(int64_t width, int64_t height, int64_t channels) {
    if (width < 1 || height < 1 || channels < 1 || channels > 4) return false;
    if (width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels) return false;
    return static_cast<uint64_t>(width * height * channels * 4) <= MaxFileBytes();
}

void c_TesPicFile::MarkEmptyFromPixels(c_TesLayer& layer) {
    if (layer.width == 1 && layer.height == 1 && layer.HasPixels() && layer.channels == 4) {
        layer.empty = layer.Pixels()[3] > 0.0f ? 0 : 1;
    }
}

uint64_t c_TesPicFile::BlockBytes(const c_TesLayer& layer) {
    if (layer.width <= 0 || layer.height <= 0) return 0;
    return static_cast<uint64_t>(layer.width) * static_cast<uint64_t>(layer.height) *
           static_cast<uint64_t>(layer.channels) * static_cast<uint64_t>(layer.bytesPerChannel);
}

// ---------------------------------------------------------------------------------------------
// Picture header

void c_TesPicFile::WritePictureHeader(const c_TesPic& pic, c_VekFil_ChunkWriter& w, bool portfolio,
                                      const s_TesPicHeaderInfo* keep) {
    w.Ints(kTesTagLayerCounter, {pic.layerCounter});
    w.Ints(kTesTagSize, {pic.width, pic.height});

    size_t s = w.Begin(kTesTagIdList);
    if (keep) {
        for (int32_t id : keep->ids)
            w.I32(id);
    } else {
        for (const c_TesLayer* l = pic.bottomLayer; l; l = l->above) {
            if (l->id != 0) w.I32(l->id);
        }
        if (pic.selection && pic.selection->id != 0) w.I32(pic.selection->id);
    }
    w.I32(0);
    w.End(s);

    s = w.Begin(kTesTagFlags);
    w.U8(static_cast<uint8_t>((pic.repeatX ? 1 : 0) | (pic.repeatY ? 2 : 0)));
    w.U8(static_cast<uint8_t>(pic.paperOn ? 1 : 0));
    w.U8(static_cast<uint8_t>(pic.viewMode));
    w.U8(pic.bookmark);
    w.End(s);

    s = w.Begin(kTesTagView);
    w.I32(pic.centreX);
    w.I32(pic.centreY);
    w.F32(static_cast<float>(pic.magnification));
    w.F32(static_cast<float>(pic.reduction));
    w.End(s);

    w.Ints(kTesTagCurrentId, {keep ? keep->currentId : (pic.currentLayer ? pic.currentLayer->id : 0)});
    w.Floats(kTesTagPaper, {pic.paperColour[0], pic.paperColour[1], pic.paperColour[2]});
    w.Ints(kTesTagPictureNumber, {pic.pictureNumber, 0, 0, 0});
    if (!std::isnan(pic.cloneSourceX) && !std::isnan(pic.cloneSourceY))
        w.Floats(kTesTagClonePoint, {pic.cloneSourceX, pic.cloneSourceY});

    s = w.Begin(kTesTagPalettes);
    if (pic.palette4.Size() >= kPalette4Bytes) w.Chunk(0x20001, pic.palette4.Data(), kPalette4Bytes);
    if (pic.palette20.Size() >= kPalette20Bytes) w.Chunk(0x20002, pic.palette20.Data(), kPalette20Bytes);
    w.End(s);

    if (portfolio) {
        s = w.Begin(kTesTagPictureEmpty);
        w.U8(pic.emptyFlag ? 1 : 0);
        w.Zeros(3);
        w.End(s);
    }
}

bool c_TesPicFile::WritePortfolioHeader(const c_TesPic& pic, vek::MemBlock& out,
                                        const s_TesPicHeaderInfo* keep) {
    vek::MemBlock block;
    c_VekFil_ChunkWriter w(block);
    WritePictureHeader(pic, w, true, keep);
    if (!w.Finish()) return false;
    out = std::move(block);
    return true;
}

std::unique_ptr<c_TesPic> c_TesPicFile::ReadPictureHeader(const void* data, size_t size,
                                                          s_TesPicHeaderInfo* info) {
    c_VekFil_ChunkReader r(data, size);
    if (!r.Ok()) return nullptr;
    Lookup find{r};
    const c_VekFil_Chunk* sz = find(kTesTagSize, 8);
    if (!sz) return nullptr;
    const int32_t width = sz->I32(0), height = sz->I32(4);
    if (!SaneRaster(width, height, 4)) return nullptr;

    const c_VekFil_Chunk* counter = find(kTesTagLayerCounter, 4);
    const c_VekFil_Chunk* flags = find(kTesTagFlags, 4);
    const c_VekFil_Chunk* view = find(kTesTagView, 16);
    const c_VekFil_Chunk* current = find(kTesTagCurrentId, 4);
    const c_VekFil_Chunk* paper = find(kTesTagPaper, 12);
    const c_VekFil_Chunk* number = find(kTesTagPictureNumber, 4);
    const c_VekFil_Chunk* clone = find(kTesTagClonePoint, 8);
    const c_VekFil_Chunk* palettes = find(kTesTagPalettes, 0);
    const c_VekFil_Chunk* empty = find(kTesTagPictureEmpty, 1);
    const c_VekFil_Chunk* idList = find(kTesTagIdList, 0);
    if (find.bad) return nullptr;
    if (counter && counter->I32(0) > kMaxLayerId) return nullptr;

    s_TesPicHeaderInfo found;
    if (idList) {
        for (size_t at = 0; at + 4 <= idList->size; at += 4) {
            const int32_t id = idList->I32(at);
            if (id == 0) break;
            if (id < 0 || id > kMaxLayerId) return nullptr;
            found.ids.push_back(id);
        }
    }
    const c_VekFil_Chunk* pal4 = nullptr;
    const c_VekFil_Chunk* pal20 = nullptr;
    c_VekFil_ChunkReader palReader(palettes ? palettes->data : nullptr, palettes ? palettes->size : 0);
    if (palettes) {
        if (!palReader.Ok()) return nullptr;
        pal4 = palReader.Find(0x20001, kPalette4Bytes);
        pal20 = palReader.Find(0x20002, kPalette20Bytes);
    }

    // Everything is checked; build.
    auto pic = std::make_unique<c_TesPic>(width, height);
    if (pal4 && !pic->palette4.Alloc(kPalette4Bytes)) return nullptr;
    if (pal20 && !pic->palette20.Alloc(kPalette20Bytes)) return nullptr;
    if (pal4) std::memcpy(pic->palette4.Data(), pal4->data, kPalette4Bytes);
    if (pal20) std::memcpy(pic->palette20.Data(), pal20->data, kPalette20Bytes);
    if (counter) pic->layerCounter = std::max(0, counter->I32(0));
    if (flags) {
        pic->repeatX = flags->U8(0) & 1;
        pic->repeatY = (flags->U8(0) >> 1) & 1;
        pic->paperOn = flags->U8(1) & 1;
        const int8_t mode = static_cast<int8_t>(flags->U8(2));
        pic->viewMode = (mode >= 1 && mode <= 5) ? mode : 1;
        pic->bookmark = flags->U8(3);
    }
    if (view) {
        pic->centreX = view->I32(0);
        pic->centreY = view->I32(4);
        pic->magnification = FactorFromFile(view->F32(8));
        pic->reduction = FactorFromFile(view->F32(12));
    }
    if (current) found.currentId = current->I32(0);
    if (paper) {
        // A colour that is not a number would poison every composite; keep the default then.
        for (int i = 0; i < 3; ++i) {
            const float c = paper->F32(4 * i);
            if (std::isfinite(c)) pic->paperColour[i] = c;
        }
    }
    if (number) {
        const uint32_t n = number->U32(0);
        pic->pictureNumber = n <= INT32_MAX ? static_cast<int32_t>(n) : 0;
    }
    if (clone) {
        pic->cloneSourceX = clone->F32(0);
        pic->cloneSourceY = clone->F32(4);
    }
    if (empty) {
        pic->emptyFlag = empty->U8(0) ? 1 : 0;
        found.hasEmptyFlag = true;
    }
    pic->headerDirty = 0;
    if (info) *info = std::move(found);
    return pic;
}

// ---------------------------------------------------------------------------------------------
// Layer header

void c_TesPicFile::WriteLayerHeader(const c_TesLayer& layer, c_VekFil_ChunkWriter& w, int form) {
    w.Ints(kTesLayTagKind, {layer.type, layer.bytesPerChannel, layer.channels});
    if (form == kFormWithId) w.Ints(kTesLayTagId, {layer.id});
    w.Ints(kTesLayTagRect,
           {layer.x, layer.y, layer.width, layer.height, layer.RasterWidth(), layer.RasterHeight()});

    size_t s = w.Begin(kTesLayTagFlags);
    w.U8(layer.visible ? 1 : 0);
    w.U8(layer.blendOn ? 1 : 0);
    w.Zeros(2);
    w.End(s);

    s = w.Begin(kTesLayTagOpacity);
    w.F32(static_cast<float>(layer.opacity));
    w.I32(layer.blendMode);
    w.End(s);

    // The class writes its block at a position of its own; an int32 position must never see the
    // offsets of a large file, so it writes into a small block of its own first.
    vek::MemBlock typeBlock;
    const int32_t end = layer.WriteTypeBlock(typeBlock, 0);
    if (end < 0) {
        w.Fail();
        return;
    }
    w.Chunk(kTesLayTagClassBlock, typeBlock.Data(), static_cast<size_t>(end));

    if (form == kFormPortfolio && layer.thumbnail.Size() > 0) {
        w.Chunk(kTesLayTagThumbnail, layer.thumbnail.Data(), layer.thumbnail.Size());
    }
    WriteName(w, kTesLayTagName, layer.name);
}

std::unique_ptr<c_TesLayer> c_TesPicFile::ReadLayerHeader(const uint8_t* data, size_t size) {
    c_VekFil_ChunkReader r(data, size);
    if (!r.Ok()) return nullptr;
    Lookup find{r};
    const c_VekFil_Chunk* kind = find(kTesLayTagKind, 12);
    const c_VekFil_Chunk* rect = find(kTesLayTagRect, 24);
    const c_VekFil_Chunk* flags = find(kTesLayTagFlags, 2);
    const c_VekFil_Chunk* id = find(kTesLayTagId, 4);
    const c_VekFil_Chunk* opacity = find(kTesLayTagOpacity, 8);
    const c_VekFil_Chunk* classBlock = find(kTesLayTagClassBlock, 0);
    const c_VekFil_Chunk* thumb = find(kTesLayTagThumbnail, 0);
    const c_VekFil_Chunk* name = find(kTesLayTagName, 0);
    if (find.bad || !kind || !rect) return nullptr;

    const int32_t type = kind->I32(0), bpc = kind->I32(4), channels = kind->I32(8);
    if (type == 0) return nullptr; // the mono base is never stored as itself
    std::unique_ptr<c_TesLayer> layer = MakeLayer(type);
    if (!layer) return nullptr;
    if (bpc != 0 && bpc != 4) return nullptr;
    if (channels != layer->channels) return nullptr;

    const int32_t x = rect->I32(0), y = rect->I32(4), w = rect->I32(8), h = rect->I32(12);
    const int32_t fw = rect->I32(16), fh = rect->I32(20);
    if (!SaneRaster(fw, fh, channels) || w < 1 || h < 1 || x < 0 || y < 0 || int64_t(x) + w > fw ||
        int64_t(y) + h > fh) {
        return nullptr;
    }
    if (id && (id->I32(0) < 0 || id->I32(0) > kMaxLayerId)) return nullptr;
    if (classBlock) {
        // The class reads its own sub-chunks; their chain is held to the same rules as ours.
        c_VekFil_ChunkReader inner(classBlock->data, classBlock->size);
        if (!inner.Ok() || classBlock->size > INT32_MAX ||
            !layer->ReadTypeBlock(classBlock->data, static_cast<int32_t>(classBlock->size))) {
            return nullptr;
        }
    }
    if (thumb && thumb->size > 0 && thumb->size <= kMaxThumbnailBytes && thumb->size % 4 == 0) {
        if (!layer->thumbnail.Alloc(thumb->size)) return nullptr;
        std::memcpy(layer->thumbnail.Data(), thumb->data, thumb->size);
    }

    layer->bytesPerChannel = bpc;
    layer->x = layer->contentX = x;
    layer->y = layer->contentY = y;
    layer->width = layer->contentWidth = w;
    layer->height = layer->contentHeight = h;
    layer->fullWidth = fw;
    layer->fullHeight = fh;
    layer->compacted = 1;
    // Files do not store the empty flag; content wider or taller than one pixel is never empty,
    // a single pixel is decided once its pixels arrive (MarkEmptyFromPixels).
    layer->empty = (w > 1 || h > 1) ? 0 : 1;
    if (flags) {
        layer->visible = flags->U8(0) ? 1 : 0;
        layer->blendOn = flags->U8(1) ? 1 : 0;
    }
    if (id) layer->id = id->I32(0);
    if (opacity) {
        const float o = opacity->F32(0);
        layer->opacity = std::isnan(o) ? 100 : static_cast<int32_t>(std::min(100.0f, std::max(0.0f, o)));
        const int32_t mode = opacity->I32(4);
        layer->blendMode = (mode >= 0 && mode <= kTesBlendModeMax) ? mode : 0;
    }
    if (name) {
        const size_t n = NameLength(*name);
        if (n > 0) {
            std::memcpy(layer->name, name->data, n);
            layer->name[n] = 0;
        }
    }
    layer->headerDirty = 0;
    layer->pixelsDirty = 0;
    return layer;
}

// ---------------------------------------------------------------------------------------------
// Single-form file

bool c_TesPicFile::WritePictureImage(c_TesPic& pic, const char* name, bool pixels, vek::MemBlock& out) {
    const int form = name ? kFormWithId : kFormWithoutId;
    // Layers expanded now are expanded again afterwards (the current layer, a selection in use).
    std::vector<c_TesLayer*> expanded;
    ForEachLayer(pic, [&](c_TesLayer& l) {
        if (pixels && !l.HasPixels() && l.bytesPerChannel != 0) l.EnsurePixels();
        if (l.HasPixels() && !l.compacted) expanded.push_back(&l);
    });

    vek::MemBlock block;
    bool ok = block.AllocZeroed(1000);
    c_VekFil_ChunkWriter w(block);
    if (ok) {
        const size_t s = w.Begin(kTesTagFileHeader);
        w.Put("TessellatoriumPic", 17);
        w.U8(1);
        w.U8(1);
        w.U8(1);
        w.End(s);
        WritePictureHeader(pic, w, false);
        if (name) WriteName(w, kTesTagName, name);
        ForEachLayer(pic, [&](c_TesLayer& l) {
            if (!w.Ok()) return;
            l.SetCompact(true);
            const bool withPixels = pixels && l.HasPixels();
            const uint64_t bytes = withPixels ? BlockBytes(l) : 0;
            if (withPixels && (bytes > l.pixels.Size() || bytes > UINT32_MAX - 4096)) {
                w.Fail(); // cannot be stored
                return;
            }
            w.Reserve(static_cast<size_t>(bytes) + 1032 + l.thumbnail.Size());
            const size_t start = w.Begin(kTesTagLayer);
            WriteLayerHeader(l, w, form);
            if (withPixels) w.Chunk(kTesLayTagPixels, l.pixels.Data(), static_cast<size_t>(bytes));
            w.End(start);
        });
        ok = w.Finish();
    }
    for (c_TesLayer* l : expanded)
        l->SetCompact(false);
    if (!ok) return false;
    out = std::move(block);
    return true;
}

bool c_TesPicFile::SavePictureToFile(const std::string& path, c_TesPic& pic, bool pixels, bool durable) {
    vek::MemBlock image;
    if (!WritePictureImage(pic, pic.name, pixels, image)) return false;
    return c_VekFil_Disk::WriteWhole(path, image.Data(), image.Size(), durable);
}

bool c_TesPicFile::ReadPictureImage(const void* data, size_t size, s_TesPicImage& out) {
    c_VekFil_ChunkReader r(data, size);
    if (!r.Ok()) return false;
    s_TesPicHeaderInfo info;
    s_TesPicImage image;
    image.picture = ReadPictureHeader(data, size, &info);
    if (!image.picture) return false;
    c_TesPic& pic = *image.picture;
    image.currentId = info.currentId;

    Lookup find{r};
    const c_VekFil_Chunk* name = find(kTesTagName, 0);
    if (find.bad) return false;
    if (name) {
        const size_t n = NameLength(*name);
        std::memcpy(pic.name, name->data, n);
        pic.name[n] = 0;
        image.hasName = true;
    }

    std::vector<int32_t> ids;
    for (size_t i = 0; i < r.Count(); ++i) {
        const c_VekFil_Chunk& c = r.At(i);
        if (c.tag != kTesTagLayer) continue;
        c_VekFil_ChunkReader sub(c.data, c.size);
        if (!sub.Ok() || sub.Find(kTesLayTagForbidden)) return false;
        std::unique_ptr<c_TesLayer> layer = ReadLayerHeader(c.data, c.size);
        if (!layer) return false;
        // Every layer of a picture covers the picture; anything else could not be painted safely.
        if (layer->fullWidth != pic.width || layer->fullHeight != pic.height) return false;
        if (layer->id != 0) {
            if (std::find(ids.begin(), ids.end(), layer->id) != ids.end()) return false;
            ids.push_back(layer->id);
        }
        if (const c_VekFil_Chunk* px = sub.Find(kTesLayTagPixels)) {
            if (layer->bytesPerChannel != 4 || px->size != BlockBytes(*layer)) return false;
            if (!layer->pixels.Alloc(px->size)) return false;
            std::memcpy(layer->pixels.Data(), px->data, px->size);
            MarkEmptyFromPixels(*layer);
            image.anyPixels = true;
        }
        layer->headerDirty = 1;
        layer->pixelsDirty = 1;
        if (layer->type == 6) {
            if (image.selection) return false;
            image.selection = std::move(layer);
        } else {
            image.layers.push_back(std::move(layer));
        }
    }
    // Ids handed out later must never meet one from the file (they name the layers' files).
    for (int32_t id : ids)
        pic.layerCounter = std::max(pic.layerCounter, id);
    out = std::move(image);
    return true;
}

bool c_TesPicFile::LoadPictureFile(const std::string& path, s_TesPicImage& out) {
    vek::MemBlock data;
    if (!c_VekFil_Disk::ReadWhole(path, data, MaxFileBytes())) return false;
    return ReadPictureImage(data.Data(), data.Size(), out);
}

std::unique_ptr<c_TesPic> c_TesPicFile::Assemble(s_TesPicImage& image, bool useCurrentId) {
    std::unique_ptr<c_TesPic> pic = std::move(image.picture);
    if (!pic) return nullptr;
    // Linked directly rather than one InsertLayer each: that would expand and compact every
    // layer in turn on the way up.
    c_TesLayer* previous = nullptr;
    for (std::unique_ptr<c_TesLayer>& owned : image.layers) {
        c_TesLayer* l = owned.release();
        l->picture = pic.get();
        l->below = previous;
        l->above = nullptr;
        if (previous) {
            previous->above = l;
        } else {
            pic->bottomLayer = l;
        }
        pic->AssignId(*l);
        previous = l;
    }
    image.layers.clear();
    pic->topLayer = previous;
    if (image.selection) {
        pic->selection.reset(static_cast<cTes_Layer_Selection*>(image.selection.release()));
        pic->selection->picture = pic.get();
        pic->AssignId(*pic->selection);
    }
    if (pic->bottomLayer) pic->RecomputeEnds(pic->bottomLayer);
    c_TesLayer* current = useCurrentId && image.currentId ? pic->FindLayer(image.currentId) : nullptr;
    if (!current) current = pic->topLayer;
    // Choosing the current layer shows it; a file that has it hidden keeps it hidden.
    const int32_t visible = current ? current->visible : 1;
    pic->currentLayer = nullptr;
    pic->SetCurrent(current);
    if (current) current->visible = visible;
    pic->headerDirty = 1;
    return pic;
}

std::unique_ptr<c_TesPic> c_TesPicFile::ReadPicture(const void* data, size_t size) {
    s_TesPicImage image;
    if (!ReadPictureImage(data, size, image)) return nullptr;
    return Assemble(image, false);
}
