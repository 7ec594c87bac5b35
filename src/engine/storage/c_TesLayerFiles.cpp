// Layer header and pixel files.
#include "engine/storage/c_TesLayerFiles.h"

#include "engine/picture/c_TesLayer.h"
#include "engine/storage/c_TesPicFile.h"
#include "engine/storage/c_VekFil_Disk.h"

#include <cstdio>

namespace {

constexpr uint64_t kMaxHeaderFileBytes = 1 << 20;

std::string TenDigits(int32_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010u", static_cast<unsigned>(id));
    return buf;
}

} // namespace

std::string c_TesLayerFiles::HeadFileName(int32_t id) {
    return TenDigits(id) + ".LayHead";
}

std::string c_TesLayerFiles::MapFileName(int32_t id) {
    return TenDigits(id) + ".LayMap";
}

bool c_TesLayerFiles::ParseFileName(const std::string& name, int32_t& id) {
    if (name.size() < 11) return false;
    const std::string ext = name.substr(10);
    if (ext != ".LayHead" && ext != ".LayMap") return false;
    int64_t v = 0;
    for (size_t i = 0; i < 10; ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        v = v * 10 + (name[i] - '0');
    }
    if (v > INT32_MAX) return false;
    id = static_cast<int32_t>(v);
    return true;
}

bool c_TesLayerFiles::SaveFiles(c_TesLayer& layer, const std::string& folder, c_VekFil_Batch& batch) {
    if (layer.pixelsDirty) layer.headerDirty = 1;
    if (layer.headerDirty) {
        if (layer.HasPixels()) layer.SetCompact(true);
        vek::MemBlock head;
        c_VekFil_ChunkWriter w(head);
        c_TesPicFile::WriteLayerHeader(layer, w, c_TesPicFile::kFormPortfolio);
        if (!w.Finish()) return false;
        if (!batch.Add(folder + "/" + HeadFileName(layer.id), head.Data(), head.Size())) return false;
    }
    if (layer.HasPixels() && layer.pixelsDirty) {
        const uint64_t bytes = c_TesPicFile::BlockBytes(layer);
        if (bytes == 0 || bytes > layer.pixels.Size()) return false;
        if (!batch.Add(folder + "/" + MapFileName(layer.id), layer.pixels.Data(),
                       static_cast<size_t>(bytes))) {
            return false;
        }
    }
    return true;
}

void c_TesLayerFiles::FinishSave(c_TesLayer& layer, bool release) {
    layer.headerDirty = 0;
    layer.pixelsDirty = 0;
    if (release && layer.HasPixels()) {
        // The content rectangle of unchanged pixels is the one their file was written with.
        layer.SetCompact(true);
        if (layer.compacted) {
            layer.pixels.Free();
            layer.backup.Free();
            layer.changed.valid = 0;
        }
    }
}

std::unique_ptr<c_TesLayer> c_TesLayerFiles::LoadHeader(const std::string& folder, int32_t id) {
    vek::MemBlock data;
    if (!c_VekFil_Disk::ReadWhole(folder + "/" + HeadFileName(id), data, kMaxHeaderFileBytes)) return nullptr;
    std::unique_ptr<c_TesLayer> layer = c_TesPicFile::ReadLayerHeader(data.As<uint8_t>(), data.Size());
    if (layer) layer->id = id;
    return layer;
}

bool c_TesLayerFiles::LoadPixels(const std::string& folder, const c_TesLayer& filesOf, c_TesLayer& target) {
    if (target.HasPixels() || target.width <= 0 || target.height <= 0) return false;
    const uint64_t expect =
        static_cast<uint64_t>(target.width) * static_cast<uint64_t>(target.height) * target.channels * 4;
    if (!c_TesPicFile::SaneRaster(target.width, target.height, target.channels)) return false;
    vek::MemBlock block;
    if (!c_VekFil_Disk::ReadWhole(folder + "/" + MapFileName(filesOf.id), block, expect)) return false;
    if (block.Size() != expect) return false;
    target.pixels = std::move(block);
    target.bytesPerChannel = 4;
    c_TesPicFile::MarkEmptyFromPixels(target);
    return true;
}

void c_TesLayerFiles::DeleteFiles(const std::string& folder, int32_t id) {
    c_VekFil_Disk::Delete(folder + "/" + HeadFileName(id));
    c_VekFil_Disk::Delete(folder + "/" + MapFileName(id));
}
