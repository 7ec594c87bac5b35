// The picture's history as the picture and its callers see it. The undo store implements it; the
// picture owns one (null until the portfolio gives it one, and then recording does nothing).
// Every record holds the state from before the operation: record first, then change the picture.
#pragma once

#include <cstdint>

class c_TesPic;

class cTes_PicHistory {
  public:
    virtual ~cTes_PicHistory() = default;

    // Step kinds and targets of Record.
    enum { kRegion = 1, kPicture = 2, kLayout = 3 };
    enum { kCurrentLayer = 0, kSelection = 1 };

    // kRegion: the target layer's changed region as its backup still holds it (call after marking
    // the region changed, before CommitChanges). kPicture: the whole picture with pixels (layer set,
    // size or several layers' pixels change). kLayout: the whole picture without pixels (settings or
    // order change). target is used by kRegion only. False when the step could not be kept (its
    // file could not be written): a change that only history could bring back must not go ahead.
    virtual bool Record(int32_t kind, int32_t target) = 0;
    // direction 0 undo, 1 redo.
    virtual void Undo(int32_t direction) {}
    virtual int32_t UndoSteps() const { return 0; }
    virtual int32_t RedoSteps() const { return 0; }
    // Deletes the history files (and the folder when removeFolder is set); records stay.
    virtual void ClearFiles(bool removeFolder) {}
    // 1 create or replace, 2 go back, 3 destroy.
    virtual void SavepointCommand(int32_t command) {}
    // The picture this history belongs to (moved when a picture is rebuilt in place).
    virtual void SetPicture(c_TesPic* picture) {}
};
