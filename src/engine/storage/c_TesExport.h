// The exporter: turns a picture into an ordinary image file outside the portfolio.
//
// Export flattens the picture (over its paper colour unless transparency is asked for), encodes
// linear light to 8-bit sRGB and has the installed image encoder build the file, which is then
// written whole into the export folder (a failed write leaves any old file of that name intact).
// Supported format codes: 3 (PNG) and 14 (flatten only, nothing written); every other code is
// refused before anything happens. One global object lives from set-up to shutdown.
#pragma once

#include "engine/storage/ImageEncoder.h"
#include "shell/MemBlock.h"

#include <cstdint>
#include <functional>
#include <string>

class c_TesPic;
class c_TesLayer;

// Export settings, 32-bit fields in this order.
struct s_TesExportPars {
    int32_t format = 3;         // 3 PNG, 14 flatten without writing
    int32_t option = 0;         // JPEG quality 0..10, TGA run-length flag (later formats)
    int32_t bitsPerChannel = 0; // PSD: 16 or 8 (later formats)
    int32_t includeHidden = 0;  // 1: every layer is flattened as if visible
    int32_t transparency = 0;   // 1: no paper and an alpha channel; 0: paper always under the layers
};

enum e_TesExportFormat {
    kTesExport_Png = 3,
    kTesExport_CompositeOnly = 14,
};

class cTes_Export {
  public:
    // Enters the folder exports go to (creating it when `create`); false when it cannot. The
    // portfolio takes this over with its own export folder.
    using FolderHook = std::function<bool(bool create)>;

    // ---- fields ----
    c_TesPic* picture = nullptr;          // the picture of the export under way (borrowed; null after)
    s_TesExportPars pars;                 // the settings in use
    vek::MemBlock output;                 // the finished file image; freed after each export
    std::string extension = "pic";        // file extension without the full stop, set by the format
    std::string overrideName;             // base name for the next export only; empty = none
    c_TesLayer* temporaryLayer = nullptr; // paper layer a layered format adds; none for PNG
    int32_t curveSize = 4096;             // entries of the colour-encoding table

    cTes_Export();
    cTes_Export(const cTes_Export&) = delete;
    cTes_Export& operator=(const cTes_Export&) = delete;

    // The encoder that builds image files (borrowed; the program installs the platform's).
    void SetEncoder(cTes_ImageEncoder* encoder) { encoder_ = encoder; }
    // Replaces the export-folder step; an empty hook restores the default (the pictures folder,
    // then "Scribbix", through the folder service).
    void SetFolderHook(FolderHook hook) { folderHook_ = std::move(hook); }
    static bool EnterDefaultExportFolder(bool create);

    // The whole export: enter the export folder (not for format 14), flatten and encode, build
    // the file, write it into the current folder under BuildFileName(), creating or replacing it.
    // The picture's current layer and its hidden state are kept. The override name is used up by
    // every call, successful or not. False when nothing was written: unsupported format, no
    // encoder, no export folder, no layers, no memory, or a failed encode or write.
    bool ExportPicture(const s_TesExportPars& pars, c_TesPic* picture);

    // Base name for the next export (font encoding); null or "" clears it.
    void SetOverrideName(const char* text);
    // The override name (then cleared) or the picture's name, made safe for the file system,
    // then "." and the extension. UTF-8, as file names on disk are.
    std::string BuildFileName();

    // Flattens the whole picture and encodes it to 8-bit sRGB: `out` receives width · height
    // pixels, rows top to bottom, 3 bytes (R, G, B) each without transparency, else 4 (R, G, B,
    // straight A). False (outputs untouched) with no layers or when memory runs out.
    bool FlattenAndEncode(c_TesPic& picture, bool includeHidden, bool transparency, vek::MemBlock& out,
                          int32_t& width, int32_t& height, int32_t& channels) const;

    // Full path of the file the last successful export wrote ("" after format 14 or a failure).
    const std::string& WrittenPath() const { return writtenPath_; }

  private:
    bool RunWriter();

    cTes_ImageEncoder* encoder_ = nullptr;
    FolderHook folderHook_;
    std::string writtenPath_;
};

namespace tes {

// Fills `table` with the colour-encoding curve: entry i of 0..count−2 is the sRGB transfer
// function of i / (count − 1), the last entry is 1.0. count must be at least 2.
void BuildEncodingCurve(float* table, int32_t count);

} // namespace tes
