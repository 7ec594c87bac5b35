// The picture file format: the single-form picture file (exports, savepoints, history steps), the
// picture header ("Pic.Head") and the layer header, all in the chunk encoding of c_VekFil_Chunks.
//
// Readers trust nothing in the data: every chunk chain is checked, every size is checked for
// overflow and against the memory budget before anything is allocated, a pixel block must hold
// exactly the bytes its header promises, and any fault refuses the whole file — the caller gets
// nothing and nothing is leaked. Writers compact each layer first (as stored files hold only the
// content) and expand again afterwards whatever was expanded before.
#pragma once

#include "engine/storage/c_VekFil_Chunks.h"
#include "shell/MemBlock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class c_TesLayer;
class c_TesPic;

// Top-level tags of the picture header and the single-form file.
enum : uint32_t {
    kTesTagFileHeader = 0x7B6,
    kTesTagLayerCounter = 0x20001,
    kTesTagSize = 0x20002,
    kTesTagIdList = 0x20003,
    kTesTagFlags = 0x20004,
    kTesTagView = 0x20005,
    kTesTagCurrentId = 0x20006,
    kTesTagPaper = 0x20007,
    kTesTagPictureNumber = 0x20008,
    kTesTagLayer = 0x20009,
    kTesTagName = 0x2000A,
    kTesTagPalettes = 0x2000B,
    kTesTagClonePoint = 0x2000C,
    kTesTagPictureEmpty = 0x2000D,
};

// Tags inside a layer chunk / layer header file.
enum : uint32_t {
    kTesLayTagKind = 0x20001,
    kTesLayTagRect = 0x20002,
    kTesLayTagFlags = 0x20003,
    kTesLayTagClassBlock = 0x20004,
    kTesLayTagThumbnail = 0x20005,
    kTesLayTagName = 0x20006,
    kTesLayTagForbidden = 0x20007,
    kTesLayTagPixels = 0x20008,
    kTesLayTagId = 0x20009,
    kTesLayTagOpacity = 0x2000A,
};

// What the picture-header reader found besides the picture's settings.
struct s_TesPicHeaderInfo {
    std::vector<int32_t> ids; // the id list without its terminator
    int32_t currentId = 0;
    bool hasEmptyFlag = false;
};

// A single-form file as read, before its layers join the picture.
struct s_TesPicImage {
    std::unique_ptr<c_TesPic> picture;
    std::vector<std::unique_ptr<c_TesLayer>> layers; // bottom first
    std::unique_ptr<c_TesLayer> selection;           // a type 6 layer, if the file had one
    int32_t currentId = 0;                           // chunk 0x20006
    bool hasName = false;
    bool anyPixels = false; // some layer brought its own pixel block
};

class c_TesPicFile {
  public:
    // Forms of the layer header: portfolio file (thumbnail, no id), with id, without id.
    enum { kFormPortfolio = 0, kFormWithId = 1, kFormWithoutId = 2 };

    // ---- writing ----
    // The single-form file into `out` (replaced only on success). With a name: name chunk and layer
    // ids. Without pixels: no pixel sub-chunks (layout steps). False when memory runs out or a
    // layer is too large for a chunk; the picture's layers are as they were in either case
    // (compaction aside).
    static bool WritePictureImage(c_TesPic& picture, const char* name, bool pixels, vek::MemBlock& out);
    // Appends the picture header chunks (with 0x2000D when `portfolio` is set). `ids` and
    // `currentId`, when given, replace the ones taken from the picture's layers (a picture whose
    // layers are not in memory keeps the list it has on disk).
    static void WritePictureHeader(const c_TesPic& picture, c_VekFil_ChunkWriter& w, bool portfolio,
                                   const s_TesPicHeaderInfo* keep = nullptr);
    // Appends the layer header sub-chunks in the given form.
    static void WriteLayerHeader(const c_TesLayer& layer, c_VekFil_ChunkWriter& w, int form);
    // "Pic.Head": the picture header chunks with 0x2000D.
    static bool WritePortfolioHeader(const c_TesPic& picture, vek::MemBlock& out,
                                     const s_TesPicHeaderInfo* keep = nullptr);
    // Writes the single-form file with the picture's name (name chunk, ids) to `path`, crash-safe.
    static bool SavePictureToFile(const std::string& path, c_TesPic& picture, bool pixels,
                                  bool durable = true);

    // ---- reading ----
    // A new picture with the header's settings; null when the chunk chain is malformed, 0x20002 is
    // missing or any size is not sane. `info` receives the id list and the current id.
    static std::unique_ptr<c_TesPic> ReadPictureHeader(const void* data, size_t size,
                                                       s_TesPicHeaderInfo* info = nullptr);
    // A new layer of the stored type without pixels (bytes per channel as stored), compacted to
    // the stored rectangle; null on any fault. Dirty flags cleared.
    static std::unique_ptr<c_TesLayer> ReadLayerHeader(const uint8_t* data, size_t size);
    // The whole single-form file; false (out untouched) on any fault.
    static bool ReadPictureImage(const void* data, size_t size, s_TesPicImage& out);
    // Reads a file from disk into an image; false when missing, too large or malformed.
    static bool LoadPictureFile(const std::string& path, s_TesPicImage& out);
    // Links the image's layers into its picture (bottom first, then the selection) and makes the
    // layer with the current id current (else the top layer). Returns the finished picture.
    static std::unique_ptr<c_TesPic> Assemble(s_TesPicImage& image, bool useCurrentId);
    // ReadPictureImage + Assemble with the top layer current (import, clipboard).
    static std::unique_ptr<c_TesPic> ReadPicture(const void* data, size_t size);

    // ---- helpers shared with the portfolio and the history ----
    // A new layer object of a stored type code (0 the mono base), or null for other codes.
    static std::unique_ptr<c_TesLayer> MakeLayer(int32_t type);
    // Whether a raster of width × height × channels floats is sane: positive, no overflow, at most
    // 2^29 pixels, and within the memory budget.
    static bool SaneRaster(int64_t width, int64_t height, int64_t channels);
    // A layer stored as a single pixel is empty exactly when that pixel is transparent.
    static void MarkEmptyFromPixels(c_TesLayer& layer);
    // Bytes of a layer's stored block (width · height · channels · bytes per channel).
    static uint64_t BlockBytes(const c_TesLayer& layer);
    // The file limit readers apply: the memory budget in bytes.
    static uint64_t MaxFileBytes();
};
