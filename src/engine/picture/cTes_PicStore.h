// The picture's way to its files, so the picture model needs no file code: lazy loading of a
// layer's pixel block, saving pending changes, and deleting a removed layer's files. The portfolio
// implements it and sets it on its pictures; a picture without one (null) has no files.
#pragma once

#include <cstdint>

class c_TesLayer;
class c_TesPic;

class cTes_PicStore {
  public:
    virtual ~cTes_PicStore() = default;

    // Reads the pixel file of `filesOf` (a layer of `picture`) into `target`'s pixel block and sets
    // its bytes per channel; `target` may be `filesOf` itself or a clone of it. When the file is
    // missing or unreadable: false, no pixel block, and target's bytes per channel set to 0 (so the
    // picture does not ask again).
    virtual bool LoadPixels(c_TesPic& picture, const c_TesLayer& filesOf, c_TesLayer& target) = 0;
    // Writes the picture's pending changes (header and dirty layers) without releasing anything.
    virtual bool SavePending(c_TesPic& picture) = 0;
    // Removes the layer's header and pixel files.
    virtual void DeleteFiles(c_TesPic& picture, const c_TesLayer& layer) = 0;
};
