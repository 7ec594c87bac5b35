// The history of one portfolio picture: 26 record slots in two linked sides (undo and redo), each
// record backed by one file in the picture's "Undo" folder, plus the savepoint "1.tesp".
//
// Region steps store one layer rectangle trimmed to its content; picture and layout steps store
// the whole picture (with / without pixels). Every record holds the state from before the
// operation that made it. Restoring a picture or layout step rebuilds the picture object in place
// (c_TesPortfolio::ReplacePicture): after Undo, Redo or going back to the savepoint the caller
// must fetch the portfolio's current picture again.
#pragma once

#include "engine/picture/cTes_PicHistory.h"

#include <array>
#include <cstdint>
#include <string>

class c_TesLayer;
class c_TesPic;

struct s_TesUndoRecord {
    uint32_t serial = 0; // 0 marks a free slot; names the file
    int32_t older = -1;  // neighbour toward the older end of its side
    int32_t newer = -1;
    int32_t kind = 0; // 1 region, 2 picture, 3 layout
    int32_t layerId = 0;
    int32_t layerType = 0;
    int32_t channels = 0;
    int32_t bytesPerChannel = 0;
    int32_t regionWidth = 0, regionHeight = 0, regionX = 0, regionY = 0;     // picture pixels
    int32_t contentWidth = 0, contentHeight = 0, contentX = 0, contentY = 0; // within the region
    float outsideValue = 0.0f;
    uint8_t target = 0; // 0 current layer, 1 selection
};

class c_TesUndo : public cTes_PicHistory {
  public:
    static constexpr int32_t kCapacity = 26;

    // ---- fields ----
    c_TesPic* picture;
    int32_t capacity = kCapacity;
    int32_t undoCount = 0;
    int32_t redoCount = 0;
    int32_t newest = -1;
    int32_t redoTop = -1;
    int32_t oldest = -1;
    std::array<s_TesUndoRecord, kCapacity> records{};
    uint32_t serialCounter = 0;
    uint32_t shownSerial = 0; // record whose state the picture shows because it was just restored
    int32_t redoFlag = 0;     // set by a redo: the newest undo record is the present-state snapshot

    // Empties the picture's "Undo" folder when the picture already lies in a portfolio.
    explicit c_TesUndo(c_TesPic* picture);

    // ---- cTes_PicHistory ----
    bool Record(int32_t kind, int32_t target) override;
    void Undo(int32_t direction) override;
    int32_t UndoSteps() const override;
    int32_t RedoSteps() const override;
    void ClearFiles(bool removeFolder) override;
    void SavepointCommand(int32_t command) override;
    void SetPicture(c_TesPic* p) override { picture = p; }

    // "0000000001.Undo".
    static std::string FileName(uint32_t serial);
    // The tool box ends its event recording or replay through this before a record is made or
    // restored; null (the default) when there is no tool box.
    static void SetEndRecordingHook(void (*hook)());

  private:
    bool RecordLayer(int32_t kind, int32_t target, c_TesLayer* layer);
    bool UndoFolder(bool create, std::string& folder);
    void DeleteFile(uint32_t serial);
    void FreeSlot(int32_t slot);
    // Unlinks an undo-side record, deletes its file and frees its slot.
    void DropRecord(int32_t slot);
    void MoveToRedo();
    void MoveToUndo();
    void AfterMove(int32_t moved, int32_t end);
    c_TesLayer* TargetLayer(int32_t target, int32_t layerId) const;
    // The layer's changed region into the record's file (region fields filled in). With
    // `present` the pixels as they are now, not the backup.
    // Both false when the record's file could not be written.
    bool WriteRegion(s_TesUndoRecord& r, c_TesLayer& layer, const std::string& folder);
    bool WritePicture(s_TesUndoRecord& r, bool pixels, const std::string& folder);
    void Restore(const s_TesUndoRecord& r, const std::string& folder);
    // Sets the layer's changed region to the record's and writes the present state into `into`.
    void SnapshotRegion(s_TesUndoRecord& into, const s_TesUndoRecord& scope, const std::string& folder);
};
