// The exporter: export folder, flatten and encode, file name, PNG through the installed encoder.
#include "engine/storage/c_TesExport.h"

#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "shell/FolderService.h"
#include "shell/MacRoman.h"

#include <cmath>
#include <memory>

namespace tes {

void BuildEncodingCurve(float* table, int32_t count) {
    const double n = double(count - 1);
    for (int32_t i = 0; i < count - 1; ++i) {
        const double x = double(i) / n;
        table[i] = float(x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055);
    }
    table[count - 1] = 1.0f;
}

} // namespace tes

namespace {

// Program names are at most 20 characters; an override name is built by the program
// ("Drawing 10 (4294967295)"). The cut keeps any name within a file-name length limit of 255
// bytes, since one font character becomes at most 3 bytes of UTF-8.
constexpr size_t kMaxFileNameChars = 80;

const char* ExtensionOf(int32_t format) {
    switch (format) {
    case 1:
        return "tesp";
    case 2:
        return "jpg";
    case 3:
        return "png";
    case 4:
        return "tga";
    case 5:
        return "psd";
    case 6:
        return "tif";
    case 7:
        return "pfm";
    case 8:
        return "hdr";
    case 11:
        return "gif";
    case 12:
        return "bmp";
    default:
        return nullptr;
    }
}

} // namespace

cTes_Export::cTes_Export() = default;

bool cTes_Export::EnterDefaultExportFolder(bool create) {
    vek::FolderService& folders = vek::FolderService::Get();
    return folders.GoTo(2) && folders.Enter("Scribbix", create);
}

void cTes_Export::SetOverrideName(const char* text) {
    overrideName = text ? text : "";
}

std::string cTes_Export::BuildFileName() {
    std::string base;
    if (!overrideName.empty()) {
        base.swap(overrideName);
    } else if (picture) {
        base = picture->name;
    }
    return vek::MacRomanToFileName(base, kMaxFileNameChars) + "." + extension;
}

bool cTes_Export::FlattenAndEncode(c_TesPic& pic, bool includeHidden, bool transparency, vek::MemBlock& out,
                                   int32_t& width, int32_t& height, int32_t& channels) const {
    std::unique_ptr<c_TesLayer_Gfx> flat =
        pic.Composite(0, 0, pic.width, pic.height, includeHidden, transparency ? 0 : 1);
    if (!flat || !flat->HasPixels() || flat->width <= 0 || flat->height <= 0) return false;

    const int32_t count = curveSize >= 2 ? curveSize : 4096;
    vek::MemBlock curve;
    if (!curve.Alloc(size_t(count) * sizeof(float))) return false;
    tes::BuildEncodingCurve(curve.As<float>(), count);
    flat->ApplyCurve(count, curve.As<float>());

    const int32_t c = transparency ? 4 : 3;
    const size_t pixelCount = size_t(flat->width) * size_t(flat->height);
    vek::MemBlock bytes;
    if (!bytes.Alloc(pixelCount * size_t(c))) return false;
    const float* src = flat->Pixels();
    uint8_t* dst = bytes.As<uint8_t>();
    for (size_t i = 0; i < pixelCount; ++i, src += 4, dst += c) {
        dst[0] = uint8_t(tes::ToByte(src[0]));
        dst[1] = uint8_t(tes::ToByte(src[1]));
        dst[2] = uint8_t(tes::ToByte(src[2]));
        if (c == 4) dst[3] = uint8_t(tes::ToByte(src[3]));
    }
    out = std::move(bytes);
    width = flat->width;
    height = flat->height;
    channels = c;
    return true;
}

// Leaves the file image in the output block (nothing for format 14).
bool cTes_Export::RunWriter() {
    vek::MemBlock bytes;
    int32_t w = 0, h = 0, c = 0;
    if (!FlattenAndEncode(*picture, pars.includeHidden != 0, pars.transparency != 0, bytes, w, h, c))
        return false;
    if (pars.format == kTesExport_CompositeOnly) return true;
    return encoder_->Encode(kTesImageFile_Png, bytes.As<uint8_t>(), w, h, c, size_t(w) * size_t(c),
                            pars.option, output);
}

bool cTes_Export::ExportPicture(const s_TesExportPars& settings, c_TesPic* pic) {
    writtenPath_.clear();
    const bool compositeOnly = settings.format == kTesExport_CompositeOnly;
    // Refuse what cannot be done before touching any folder or the picture.
    if (!pic || !pic->bottomLayer || (!compositeOnly && (settings.format != kTesExport_Png || !encoder_))) {
        overrideName.clear();
        return false;
    }
    picture = pic;
    pars = settings;
    if (const char* ext = ExtensionOf(pars.format)) extension = ext;
    if (!compositeOnly && !(folderHook_ ? folderHook_(true) : EnterDefaultExportFolder(true))) {
        overrideName.clear();
        picture = nullptr;
        return false;
    }

    c_TesLayer* current = pic->currentLayer;
    const bool wasHidden = current && !current->visible;

    const bool written = RunWriter();

    if (current) {
        pic->SetCurrent(current);
        if (wasHidden) current->Hide();
    }

    bool ok = written;
    if (written && !compositeOnly) {
        const std::string path = vek::FolderService::Get().PathOf(BuildFileName());
        ok = !output.Empty() && c_VekFil_Disk::WriteWhole(path, output.Data(), output.Size());
        if (ok) writtenPath_ = path;
    }
    overrideName.clear();
    output.Free();
    if (current) current->SetCompact(false);
    picture = nullptr; // borrowed for this export only
    return ok;
}
