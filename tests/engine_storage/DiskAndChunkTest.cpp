// The store's multi-file writer and the chunk chain reader: a batch cut short by a full disk or a
// crash changes none of its files (strays are removed on load), and malformed chains are refused
// whole. The single-file writer and reader underneath are the shell's, tested there.
#include "engine/storage/c_VekFil_Chunks.h"
#include "engine/storage/c_VekFil_Disk.h"
#include "StoreKit.h"

#include <gtest/gtest.h>

using sxtest::FilesIn;
using sxtest::ReadBytes;
using sxtest::TempFolder;

namespace {

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

} // namespace

TEST(DiskWriter, BatchCutShortByAFullDiskOrACrashChangesNoneOfItsTargets) {
    const auto a0 = Pattern(100, 1), b0 = Pattern(200, 2), a1 = Pattern(300, 5), b1 = Pattern(400, 6);
    for (bool crash : {false, true}) {
        TempFolder t;
        sxtest::InjectionOff off;
        ASSERT_TRUE(c_VekFil_Disk::WriteWhole(t.Path("a"), a0.data(), a0.size()));
        ASSERT_TRUE(c_VekFil_Disk::WriteWhole(t.Path("b"), b0.data(), b0.size()));
        {
            c_VekFil_Batch batch;
            c_VekFil_Disk::FailWritesAfter(350, crash);
            EXPECT_TRUE(batch.Add(t.Path("a"), a1.data(), a1.size()));
            EXPECT_FALSE(batch.Add(t.Path("b"), b1.data(), b1.size()));
            EXPECT_FALSE(batch.Commit());
        }
        c_VekFil_Disk::FailWritesAfter(-1); // "restart"
        EXPECT_EQ(a0, ReadBytes(t.Path("a"))) << crash;
        EXPECT_EQ(b0, ReadBytes(t.Path("b"))) << crash;
        // A full disk cleans up; a dead process leaves its temporaries, hidden from folder scans,
        // for the next load to remove.
        const auto names = FilesIn(t.Root());
        ASSERT_EQ(crash ? 4u : 2u, names.size());
        for (const std::string& n : names)
            EXPECT_TRUE(n == "a" || n == "b" || c_VekFil_Disk::IsTemporaryName(n)) << n;
        c_VekFil_Disk::DeleteStrayTemporaries(t.Root());
        EXPECT_EQ((std::vector<std::string>{"a", "b"}), FilesIn(t.Root()));
        c_VekFil_Batch batch;
        EXPECT_TRUE(batch.Add(t.Path("a"), a1.data(), a1.size()));
        EXPECT_TRUE(batch.Add(t.Path("b"), b1.data(), b1.size()));
        EXPECT_EQ(a0, ReadBytes(t.Path("a"))); // nothing visible before the commit
        EXPECT_TRUE(batch.Commit());
        EXPECT_TRUE(a1 == ReadBytes(t.Path("a")) && b1 == ReadBytes(t.Path("b")));
    }
}

TEST(DiskFiles, FolderScansHideDotNamesRenamesRefuseExistingTargetsAndFileDeletesSpareFolders) {
    TempFolder t;
    ASSERT_TRUE(c_VekFil_Disk::WriteWhole(t.Path("f"), "abc", 3, false));
    for (const char* f : {"b_2", "a_1", ".hidden_3"})
        std::filesystem::create_directories(t.Path(f));
    EXPECT_EQ((std::vector<std::string>{"a_1", "b_2"}), c_VekFil_Disk::VisibleFolders(t.Root()));
    EXPECT_FALSE(c_VekFil_Disk::Rename(t.Path("a_1"), t.Path("b_2")));
    EXPECT_TRUE(c_VekFil_Disk::Rename(t.Path("a_1"), t.Path("c_1")));
    EXPECT_EQ((std::vector<std::string>{"b_2", "c_1"}), c_VekFil_Disk::VisibleFolders(t.Root()));
    EXPECT_TRUE(c_VekFil_Disk::DeleteFilesIn(t.Root()));
    EXPECT_TRUE(!c_VekFil_Disk::IsFile(t.Path("f")) && c_VekFil_Disk::IsFolder(t.Path("b_2")));
}

namespace {

std::vector<uint8_t> Le(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> out;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return out;
}

bool ChainOk(const std::vector<uint8_t>& b) {
    return c_VekFil_ChunkReader(b.data(), b.size()).Ok();
}

} // namespace

TEST(ChunkReader, RefusesSizesBelowEightPastEndUnalignedAndStrayTail) {
    EXPECT_TRUE(ChainOk(Le({12, 0x20001, 5, 8, 7})));
    EXPECT_TRUE(ChainOk({}));
    EXPECT_FALSE(ChainOk(Le({4, 0x20001, 5})));     // below the head's own size
    EXPECT_FALSE(ChainOk(Le({0, 0x20001})));        // zero would loop forever
    EXPECT_FALSE(ChainOk(Le({16, 0x20001, 5})));    // past the end
    EXPECT_FALSE(ChainOk(Le({10, 0x20001, 5})));    // not a multiple of 4
    EXPECT_FALSE(ChainOk(Le({0xFFFFFFF8u, 1, 2}))); // huge
    auto tail = Le({12, 0x20001, 5});
    tail.push_back(0);
    EXPECT_FALSE(ChainOk(tail));
    const auto good = Le({12, 0x20001, 5, 16, 0x20002, 640, 480});
    c_VekFil_ChunkReader r(good.data(), good.size());
    ASSERT_TRUE(r.Ok() && r.Count() == 2u);
    const c_VekFil_Chunk* size = r.Find(0x20002, 8);
    ASSERT_NE(nullptr, size);
    EXPECT_TRUE(size->I32(0) == 640 && size->I32(4) == 480);
    bool tooShort = false;
    EXPECT_EQ(nullptr, r.Find(0x20001, 8, &tooShort));
    EXPECT_TRUE(tooShort);
}

TEST(ChunkWriter, PadsPayloadToFourWritesLittleEndianHeadsAndReportsAllocationFailure) {
    vek::MemBlock block;
    c_VekFil_ChunkWriter w(block);
    w.Chunk(0x2000A, "Hello", 5);
    w.Ints(0x20002, {-2});
    ASSERT_TRUE(w.Finish());
    const std::vector<uint8_t> expect = {16, 0, 0,  0, 0x0A, 0, 2,    0, 'H', 'e', 'l',  'l',  'o',  0,
                                         0,  0, 12, 0, 0,    0, 0x02, 0, 2,   0,   0xFE, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(expect.size(), block.Size());
    EXPECT_TRUE(std::equal(expect.begin(), expect.end(), block.As<uint8_t>()));
    vek::MemBlock other;
    c_VekFil_ChunkWriter failing(other);
    vek::MemFailAfter(1);
    failing.Chunk(0x20001, "abcd", 4);
    vek::MemFailAfter(0);
    failing.Chunk(0x20002, "abcd", 4); // the failure sticks
    EXPECT_FALSE(failing.Ok() || failing.Finish());
}
