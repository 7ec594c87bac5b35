// Every file of the seed corpus through the readers: files named *-valid-* must be read, files
// named *-bad-* refused, and neither may leave a memory block behind.
#include "engine/storage/c_TesPicFile.h"
#include "StoreKit.h"

#include "engine/picture/c_TesPic.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool ReadsAs(const std::string& kind, const std::vector<uint8_t>& d) {
    if (kind == "pic") return c_TesPicFile::ReadPicture(d.data(), d.size()) != nullptr;
    if (kind == "head") return c_TesPicFile::ReadPictureHeader(d.data(), d.size()) != nullptr;
    return c_TesPicFile::ReadLayerHeader(d.data(), d.size()) != nullptr;
}

} // namespace

TEST(Corpus, ValidFilesReadAndMalformedFilesAreRefusedWithoutLeaks) {
    int valid = 0, bad = 0;
    for (const auto& e : std::filesystem::directory_iterator(SX_CORPUS_DIR)) {
        const std::string name = e.path().filename().string();
        const size_t dash = name.find('-');
        if (dash == std::string::npos || name.find(".py") != std::string::npos) continue;
        const std::string kind = name.substr(0, dash);
        const bool expectValid = name.find("-valid-") != std::string::npos;
        const auto data = sxtest::ReadBytes(e.path().string());
        const size_t before = vek::MemLiveBlocks();
        EXPECT_EQ(expectValid, ReadsAs(kind, data)) << name;
        EXPECT_EQ(before, vek::MemLiveBlocks()) << name;
        (expectValid ? valid : bad)++;
    }
    EXPECT_GE(valid, 10);
    EXPECT_GE(bad, 30);
}
