// A layer's two files in its picture's folder: the header "<id>.LayHead" (layer header sub-chunks
// with thumbnail, no id) and the raw pixel block "<id>.LayMap", the id written as ten digits.
//
// Saving only prepares the files into a batch; the picture commits all of its files together and
// clears the dirty flags only once the batch is on disk. A pixel file is accepted only when it
// holds exactly the bytes that the header's rectangle needs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class c_TesLayer;
class c_VekFil_Batch;

class c_TesLayerFiles {
  public:
    // "0000000042.LayHead" / "0000000042.LayMap".
    static std::string HeadFileName(int32_t id);
    static std::string MapFileName(int32_t id);
    // The id of a layer file name of either kind; false for any other name.
    static bool ParseFileName(const std::string& name, int32_t& id);

    // Pixels dirty implies header dirty. A header-dirty layer is compacted (when it has pixels)
    // and its header file added to the batch; a layer with dirty pixels adds its pixel file.
    // Nothing else changes here. False when a file could not be written.
    static bool SaveFiles(c_TesLayer& layer, const std::string& folder, c_VekFil_Batch& batch);
    // After the batch is on disk: both dirty flags cleared; with release the pixel block is freed
    // (the layer stays compacted at its content rectangle and loads its pixels on next need).
    static void FinishSave(c_TesLayer& layer, bool release);

    // Reads the header file of `id`: a new layer without pixels carrying that id, or null when
    // the file is missing or malformed.
    static std::unique_ptr<c_TesLayer> LoadHeader(const std::string& folder, int32_t id);
    // Reads the pixel file of `filesOf` into `target` (filesOf itself or a clone with the same
    // rectangle) and sets its bytes per channel to 4. False, target unchanged, when the file is
    // missing or its size is not exactly the rectangle's.
    static bool LoadPixels(const std::string& folder, const c_TesLayer& filesOf, c_TesLayer& target);
    // Removes both files of `id`.
    static void DeleteFiles(const std::string& folder, int32_t id);
};
