// Fuzz target for the store's readers: the single-form picture file, the picture header and the
// layer header. Any input must be read whole or refused, leave no memory block behind, and a
// picture that was read must write and read back to the very same bytes.
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesPicFile.h"
#include "shell/MemoryBudget.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A small budget, so that sizes a real picture could have are still refused long before they
    // exhaust the fuzzer's memory limit.
    vek::SetMemoryBudgetOverride(64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t before = vek::MemLiveBlocks();
    {
        std::unique_ptr<c_TesPic> pic = c_TesPicFile::ReadPicture(data, size);
        if (pic) {
            vek::MemBlock once, twice;
            if (c_TesPicFile::WritePictureImage(*pic, pic->name, true, once)) {
                std::unique_ptr<c_TesPic> again = c_TesPicFile::ReadPicture(once.Data(), once.Size());
                if (!again) __builtin_trap(); // our own output refused
                if (!c_TesPicFile::WritePictureImage(*again, again->name, true, twice)) __builtin_trap();
                if (once.Size() != twice.Size() || std::memcmp(once.Data(), twice.Data(), once.Size()) != 0) {
                    __builtin_trap(); // a write → read → write round trip changed the file
                }
            }
        }
    }
    {
        s_TesPicHeaderInfo info;
        std::unique_ptr<c_TesPic> header = c_TesPicFile::ReadPictureHeader(data, size, &info);
    }
    { std::unique_ptr<c_TesLayer> layer = c_TesPicFile::ReadLayerHeader(data, size); }
    if (vek::MemLiveBlocks() != before) __builtin_trap(); // a refused or dropped file leaked a block
    return 0;
}
