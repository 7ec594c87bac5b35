// Undo, redo and the savepoint.
//
// Side lists: the undo side runs oldest → newest through `newer`; the redo side runs from redoTop
// (pushed last, restored next) downward through `older`. A moved record is rewritten when the
// record now at the end of the side it left covers a different scope, so that stepping back
// always returns exactly to the present state:
//
//   moved M \ end P   | region, same layer+rect | region, other scope | whole picture
//   region            | keep                    | rewrite as P's rect | rewrite as P's kind
//   whole (kind k)    | rewrite as P's rect     | rewrite as P's rect | keep if P is kind k
#include "engine/history/c_TesUndo.h"

#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesPicFile.h"
#include "engine/storage/c_TesPortfolio.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "shell/FolderService.h"

#include <algorithm>
#include <cstdio>

namespace {

void (*g_endRecording)() = nullptr;

void EndToolBoxRecording() {
    if (g_endRecording) g_endRecording();
}

const char kSavepointFolder[] = "Savepoints";
const char kSavepointFile[] = "1.tesp";

} // namespace

void c_TesUndo::SetEndRecordingHook(void (*hook)()) {
    g_endRecording = hook;
}

std::string c_TesUndo::FileName(uint32_t serial) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%010u.Undo", serial);
    return buf;
}

c_TesUndo::c_TesUndo(c_TesPic* p) : picture(p) {
    if (picture && picture->portfolio) ClearFiles(false);
}

// ---------------------------------------------------------------------------------------------
// Folders, slots and side lists

bool c_TesUndo::UndoFolder(bool create, std::string& folder) {
    if (!picture || !picture->portfolio) return false;
    c_TesPortfolio& pf = *picture->portfolio;
    if (!pf.EnterPictureFolder(*picture, create)) return false;
    folder = pf.CurrentFolder() + "/Undo";
    if (c_VekFil_Disk::IsFolder(folder)) return true;
    return create && vek::FolderService::MakePath(folder);
}

void c_TesUndo::DeleteFile(uint32_t serial) {
    std::string folder;
    if (serial && UndoFolder(false, folder)) c_VekFil_Disk::Delete(folder + "/" + FileName(serial));
}

void c_TesUndo::FreeSlot(int32_t slot) {
    records[slot] = s_TesUndoRecord();
}

void c_TesUndo::DropRecord(int32_t s) {
    if (s < 0) return;
    const s_TesUndoRecord& r = records[s];
    if (r.older >= 0) {
        records[r.older].newer = r.newer;
    } else {
        oldest = r.newer;
    }
    if (r.newer >= 0) {
        records[r.newer].older = r.older;
    } else {
        newest = r.older;
    }
    DeleteFile(r.serial);
    FreeSlot(s);
    --undoCount;
}

void c_TesUndo::MoveToRedo() {
    const int32_t m = newest;
    if (m < 0) return;
    newest = records[m].older;
    if (newest >= 0) {
        records[newest].newer = -1;
    } else {
        oldest = -1;
    }
    --undoCount;
    records[m].older = redoTop;
    records[m].newer = -1;
    if (redoTop >= 0) records[redoTop].newer = m;
    redoTop = m;
    ++redoCount;
    AfterMove(m, newest);
}

void c_TesUndo::MoveToUndo() {
    const int32_t m = redoTop;
    if (m < 0) return;
    redoTop = records[m].older;
    if (redoTop >= 0) records[redoTop].newer = -1;
    --redoCount;
    records[m].older = newest;
    records[m].newer = -1;
    if (newest >= 0) {
        records[newest].newer = m;
    } else {
        oldest = m;
    }
    newest = m;
    ++undoCount;
    AfterMove(m, redoTop);
}

c_TesLayer* c_TesUndo::TargetLayer(int32_t target, int32_t layerId) const {
    if (!picture) return nullptr;
    if (target == 1) return picture->selection.get();
    // By id: a stroke undone after the user picked another layer belongs to the layer it was on.
    if (layerId != 0) return picture->FindLayer(layerId);
    return picture->currentLayer;
}

// ---------------------------------------------------------------------------------------------
// Writing records

bool c_TesUndo::WriteRegion(s_TesUndoRecord& r, c_TesLayer& layer, const std::string& folder) {
    c_VekFil_Disk::Delete(folder + "/" + FileName(r.serial));
    r.layerId = layer.id;
    r.regionX = layer.changed.x;
    r.regionY = layer.changed.y;
    r.regionWidth = layer.changed.width;
    r.regionHeight = layer.changed.height;
    r.contentWidth = r.contentHeight = r.contentX = r.contentY = 0;
    const bool wasCompacted = layer.compacted != 0;
    if (wasCompacted && !layer.SetCompact(false)) return false;
    vek::MemBlock block;
    const bool extracted = layer.ExtractChangedRegion(block);
    const int32_t w = std::min(layer.changed.width, layer.width);
    const int32_t h = std::min(layer.changed.height, layer.height);
    if (wasCompacted) layer.SetCompact(true);
    if (!extracted) return false;
    std::unique_ptr<c_TesLayer> temp = c_TesPicFile::MakeLayer(layer.type);
    if (!temp || temp->channels != layer.channels) return false;
    temp->pixels = std::move(block);
    temp->bytesPerChannel = 4;
    temp->width = temp->fullWidth = w;
    temp->height = temp->fullHeight = h;
    temp->SetCompact(true);
    r.regionWidth = w;
    r.regionHeight = h;
    r.layerType = layer.type;
    r.channels = temp->channels;
    r.bytesPerChannel = 4;
    r.contentX = temp->x;
    r.contentY = temp->y;
    r.contentWidth = temp->width;
    r.contentHeight = temp->height;
    r.outsideValue = temp->outsideValue;
    const uint64_t bytes = c_TesPicFile::BlockBytes(*temp);
    if (!c_VekFil_Disk::WriteWhole(folder + "/" + FileName(r.serial), temp->pixels.Data(),
                                   static_cast<size_t>(bytes), false)) {
        r.contentWidth = r.contentHeight = 0; // no file: restoring this record changes nothing
        return false;
    }
    return true;
}

bool c_TesUndo::WritePicture(s_TesUndoRecord& r, bool pixels, const std::string& folder) {
    const std::string path = folder + "/" + FileName(r.serial);
    c_VekFil_Disk::Delete(path);
    r.layerId = 0;
    r.target = 0;
    r.regionX = r.regionY = r.regionWidth = r.regionHeight = 0;
    r.contentX = r.contentY = r.contentWidth = r.contentHeight = 0;
    return c_TesPicFile::SavePictureToFile(path, *picture, pixels, false);
}

bool c_TesUndo::Record(int32_t kind, int32_t target) {
    if (!picture || kind < kRegion || kind > kLayout) return false;
    c_TesLayer* layer = target == kSelection ? picture->selection.get() : picture->currentLayer;
    if (!layer) return false;
    if (kind == kRegion && !layer->changed.valid) return true; // nothing changed, nothing to keep
    return RecordLayer(kind, target == kSelection ? 1 : 0, layer);
}

bool c_TesUndo::RecordLayer(int32_t kind, int32_t target, c_TesLayer* layer) {
    EndToolBoxRecording();
    const uint32_t serial = ++serialCounter;
    shownSerial = 0;

    for (int32_t i = redoTop, n = 0; i >= 0 && n < redoCount; ++n) {
        const int32_t next = records[i].older;
        DeleteFile(records[i].serial);
        FreeSlot(i);
        i = next;
    }
    redoCount = 0;
    redoTop = -1;
    if (redoFlag) {
        DropRecord(newest);
        redoFlag = 0;
    }
    if (undoCount >= capacity) {
        if (oldest < 0) return false;
        DropRecord(oldest);
    }
    int32_t slot = -1;
    for (int32_t i = 0; i < capacity; ++i) {
        if (records[i].serial == 0) {
            slot = i;
            break;
        }
    }
    if (slot < 0) return false;
    s_TesUndoRecord& r = records[slot];
    r = s_TesUndoRecord();
    r.serial = serial;
    r.kind = kind;
    r.target = static_cast<uint8_t>(target);
    r.older = newest;
    r.newer = -1;
    if (newest >= 0) {
        records[newest].newer = slot;
    } else {
        oldest = slot;
    }
    newest = slot;
    ++undoCount;

    // A step whose file cannot be written (full disk) is not kept: Undo would claim a step it
    // cannot restore, and a caller about to clear the drawing must learn that it cannot be undone.
    std::string folder;
    bool written = UndoFolder(true, folder);
    if (written && kind == kRegion) {
        if (layer->HasPixels() || !layer->backup.Empty()) written = WriteRegion(r, *layer, folder);
    } else if (written) {
        written = WritePicture(r, kind == kPicture, folder);
    }
    if (!written) DropRecord(slot);
    return written;
}

// Present state of `scope`'s area (its layer and rectangle) into `into`'s file.
void c_TesUndo::SnapshotRegion(s_TesUndoRecord& into, const s_TesUndoRecord& scope,
                               const std::string& folder) {
    c_TesLayer* layer = TargetLayer(scope.target, scope.layerId);
    into.kind = kRegion;
    into.target = scope.target;
    if (!layer) {
        c_VekFil_Disk::Delete(folder + "/" + FileName(into.serial));
        into.layerId = scope.layerId;
        into.contentWidth = into.contentHeight = 0;
        return;
    }
    // The backup holds the state before the last stroke; the present state is the pixels.
    layer->DropBackup();
    layer->changed.valid = 1;
    layer->changed.x = scope.regionX;
    layer->changed.y = scope.regionY;
    layer->changed.width = scope.regionWidth;
    layer->changed.height = scope.regionHeight;
    WriteRegion(into, *layer, folder);
    layer->changed.valid = 0;
}

void c_TesUndo::AfterMove(int32_t moved, int32_t end) {
    if (moved < 0 || end < 0) return;
    s_TesUndoRecord& m = records[moved];
    const s_TesUndoRecord p = records[end];
    const bool sameScope = p.layerId == m.layerId && p.regionX == m.regionX && p.regionY == m.regionY &&
                           p.regionWidth == m.regionWidth && p.regionHeight == m.regionHeight;
    // Whole-picture records of different kinds are different scopes too.
    const bool rewrite = m.kind != p.kind || (m.kind == kRegion && !sameScope);
    if (!rewrite) return;
    std::string folder;
    if (!UndoFolder(true, folder)) return;
    if (p.kind == kRegion) {
        SnapshotRegion(m, p, folder);
    } else {
        m.kind = p.kind;
        WritePicture(m, p.kind == kPicture, folder);
    }
}

// ---------------------------------------------------------------------------------------------
// Restoring

void c_TesUndo::Restore(const s_TesUndoRecord& r, const std::string& folder) {
    const std::string path = folder + "/" + FileName(r.serial);
    if (r.kind != kRegion) {
        if (!picture->portfolio) return;
        s_TesPicImage image;
        if (!c_TesPicFile::LoadPictureFile(path, image)) return;
        picture->portfolio->ReplacePicture(*picture, image);
        return;
    }
    c_TesLayer* layer = TargetLayer(r.target, r.layerId);
    if (!layer || r.contentWidth < 1 || r.contentHeight < 1 || r.channels != layer->channels) return;
    if (r.contentX < 0 || r.contentY < 0 || r.contentX + r.contentWidth > r.regionWidth ||
        r.contentY + r.contentHeight > r.regionHeight) {
        return;
    }
    const uint64_t bytes = uint64_t(r.contentWidth) * uint64_t(r.contentHeight) * uint64_t(r.channels) * 4;
    vek::MemBlock block;
    if (!c_VekFil_Disk::ReadWhole(path, block, bytes) || block.Size() != bytes) return;
    std::unique_ptr<c_TesLayer> temp = c_TesPicFile::MakeLayer(r.layerType);
    if (!temp || temp->channels != r.channels) return;
    // A region trimmed to one transparent (or constant) pixel held nothing.
    bool regionEmpty = false;
    if (r.contentWidth == 1 && r.contentHeight == 1)
        regionEmpty = r.channels != 4 || block.As<float>()[3] <= 0.0f;
    temp->pixels = std::move(block);
    temp->bytesPerChannel = 4;
    temp->compacted = 1;
    temp->fullWidth = r.regionWidth;
    temp->fullHeight = r.regionHeight;
    temp->x = temp->contentX = r.contentX;
    temp->y = temp->contentY = r.contentY;
    temp->width = temp->contentWidth = r.contentWidth;
    temp->height = temp->contentHeight = r.contentHeight;
    temp->outsideValue = r.outsideValue;
    if (!temp->SetCompact(false)) return;
    if (!layer->HasPixels()) layer->EnsurePixels();
    if (!layer->HasPixels() || !layer->SetCompact(false)) return;
    const bool layerEmpty = layer->empty != 0;
    if (!layer->PutRegion(temp->pixels, r.regionX, r.regionY, r.regionWidth, r.regionHeight)) return;
    layer->empty = (layerEmpty && regionEmpty) ? 1 : 0;
    layer->DropBackup();
    picture->RegionChanged(r.regionX, r.regionY, r.regionWidth, r.regionHeight);
    if (r.target == 1) {
        int32_t sx, sy, sw, sh;
        static_cast<cTes_Layer_Selection*>(layer)->SelectionBounds(sx, sy, sw, sh);
        if (sw == 0) layer->Hide();
    }
    layer->headerDirty = 1;
    layer->pixelsDirty = 1;
    if (layer != picture->currentLayer && layer != picture->selection.get()) layer->SetCompact(true);
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void c_TesUndo::Undo(int32_t direction) {
    if (!picture) return;
    std::string folder;
    if (direction == 0) {
        redoFlag = 0;
        if (newest < 0 || undoCount < 1) return;
        if (!UndoFolder(true, folder)) return;
        EndToolBoxRecording();
        if (redoCount == 0 && shownSerial == 0) {
            // The picture shows a state no record holds: keep it so that it can be redone.
            const s_TesUndoRecord n = records[newest];
            c_TesLayer* layer = n.kind == kRegion
                                    ? TargetLayer(n.target, n.layerId)
                                    : (n.target == 1 ? picture->selection.get() : picture->currentLayer);
            if (!layer) return;
            if (n.kind == kRegion) {
                layer->DropBackup();
                layer->changed.valid = 1;
                layer->changed.x = n.regionX;
                layer->changed.y = n.regionY;
                layer->changed.width = n.regionWidth;
                layer->changed.height = n.regionHeight;
            }
            RecordLayer(n.kind, n.target, layer);
            if (n.kind == kRegion) layer->changed.valid = 0;
            MoveToRedo();
        }
        int32_t r = newest;
        if (r < 0) return;
        if (records[r].serial == shownSerial) {
            MoveToRedo();
            r = newest;
            if (r < 0) return;
        }
        const s_TesUndoRecord rec = records[r];
        Restore(rec, folder);
        shownSerial = rec.serial;
        MoveToRedo();
        return;
    }
    if (redoTop < 0 || redoCount < 1) return;
    redoFlag = 1;
    if (!UndoFolder(true, folder)) return;
    EndToolBoxRecording();
    int32_t r = redoTop;
    if (records[r].serial == shownSerial) {
        MoveToUndo();
        r = redoTop;
        if (r < 0) return;
    }
    const s_TesUndoRecord rec = records[r];
    Restore(rec, folder);
    shownSerial = rec.serial;
    MoveToUndo();
}

int32_t c_TesUndo::UndoSteps() const {
    const int32_t v = redoFlag ? undoCount - 1 : undoCount;
    return std::max(0, std::min(capacity - 1, v));
}

int32_t c_TesUndo::RedoSteps() const {
    const int32_t v = redoFlag ? redoCount : redoCount - 1;
    return std::max(0, std::min(capacity - 1, v));
}

void c_TesUndo::ClearFiles(bool removeFolder) {
    std::string folder;
    if (!UndoFolder(false, folder)) return;
    c_VekFil_Disk::DeleteFilesIn(folder);
    if (removeFolder) c_VekFil_Disk::RemoveFolder(folder);
}

// ---------------------------------------------------------------------------------------------
// Savepoint

void c_TesUndo::SavepointCommand(int32_t command) {
    if (!picture) return;
    c_TesPortfolio* pf = picture->portfolio;
    if (command == 1) {
        if (!pf || !pf->EnterPictureFolder(*picture, true)) return;
        const std::string folder = pf->CurrentFolder() + "/" + kSavepointFolder;
        if (!vek::FolderService::MakePath(folder)) return;
        if (c_TesPicFile::SavePictureToFile(folder + "/" + kSavepointFile, *picture, true, true)) {
            picture->hasSavepoint = 1;
        }
    } else if (command == 2) {
        if (!pf || !pf->EnterPictureFolder(*picture, false)) return;
        const std::string path = pf->CurrentFolder() + "/" + kSavepointFolder + "/" + kSavepointFile;
        // Read and check the savepoint before anything changes: a damaged file records nothing.
        s_TesPicImage image;
        if (!c_TesPicFile::LoadPictureFile(path, image)) return;
        Record(kPicture, kCurrentLayer);
        pf->ReplacePicture(*picture, image);
    } else if (command == 3) {
        if (pf && pf->EnterPictureFolder(*picture, false)) {
            const std::string folder = pf->CurrentFolder() + "/" + kSavepointFolder;
            if (c_VekFil_Disk::IsFolder(folder)) {
                c_VekFil_Disk::DeleteFilesIn(folder);
                c_VekFil_Disk::RemoveFolder(folder);
            }
        }
        picture->hasSavepoint = 0;
    }
}
