// The crash-safe writer: every way a write can fail keeps the old file whole and leaves no stray
// temporary file, except a simulated crash, whose partial file stays recognisable; whole reads
// refuse what is not exactly one regular file.
#include "shell/WholeFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct WholeFile : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/sx_whole_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        vek::FailFileWritesAfter(-1);
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Read(const std::string& path) const {
        vek::MemBlock b;
        return vek::ReadWholeFile(path, b) ? std::string(b.As<char>(), b.Size()) : "<unreadable>";
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Runs `write` with the process's file size limited to 4 KB (a disk that fills up).
bool WithFileSizeLimit(const std::function<bool()>& write) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit low = old;
    low.rlim_cur = 4096;
    const auto prev = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &low);
    const bool ok = write();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, prev);
    return ok;
}

} // namespace

TEST_F(WholeFile, ReplacedFileIsWholeAndGetsTheModeOfANewFileNotTheTemporaryOne) {
    const std::string path = Path("DATA2.BIN");
    ASSERT_TRUE(vek::WriteFileReplacing(path, "old contents", 12));
    ASSERT_TRUE(vek::WriteFileReplacing(path, "new", 3, false));
    EXPECT_EQ("new", Read(path));
    EXPECT_EQ(std::vector<std::string>{"DATA2.BIN"}, Names());
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(0666u & ~mask, st.st_mode & 0777u);
    // A name of the longest length a folder takes still leaves room for the temporary name.
    const std::string longName = Path(std::string(255, 'n'));
    EXPECT_TRUE(vek::WriteFileReplacing(longName, "x", 1));
    EXPECT_EQ("x", Read(longName));
}

TEST_F(WholeFile, EveryFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const std::string path = Path("keep.png");
    const std::string big(1 << 20, 'x');
    fs::create_directories(dir / "sub");
    struct Case {
        const char* what;
        std::function<bool()> write;
    } cases[] = {
        {"disk full", [&] { return WithFileSizeLimit([&] { return vek::WriteFileReplacing(path, big.data(), big.size()); }); }},
        {"injected full disk", [&] {
             vek::FailFileWritesAfter(100);
             const bool ok = vek::WriteFileReplacing(path, big.data(), big.size());
             vek::FailFileWritesAfter(-1);
             return ok;
         }},
        {"folder in the way", [&] { return vek::WriteFileReplacing(Path("sub"), "abc", 3); }},
        {"missing folder", [&] { return vek::WriteFileReplacing(Path("missing/x.png"), "abc", 3); }},
        {"name of a folder", [&] { return vek::WriteFileReplacing(Path("sub") + "/", "abc", 3); }},
        {"read-only folder", [&] {
             fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
             const bool ok = vek::WriteFileReplacing(path, "new", 3);
             fs::permissions(dir, fs::perms::owner_all);
             return ok;
         }},
    };
    for (const Case& c : cases) {
        if (geteuid() == 0 && std::string(c.what) == "read-only folder") continue; // root writes anyway
        ASSERT_TRUE(vek::WriteFileReplacing(path, "precious", 8));
        EXPECT_FALSE(c.write()) << c.what;
        EXPECT_EQ("precious", Read(path)) << c.what;
        EXPECT_EQ((std::vector<std::string>{"keep.png", "sub"}), Names()) << c.what;
    }
}

TEST_F(WholeFile, ASimulatedCrashLeavesItsPartialTemporaryAndRenamesNothingUntilRestart) {
    const std::string a = Path("a"), b = Path("b");
    ASSERT_TRUE(vek::WriteFileReplacing(a, "a0", 2));
    std::string finished;
    ASSERT_TRUE(vek::WriteTemporaryFile(b, "b1", 2, true, finished));
    vek::FailFileWritesAfter(5, true);
    std::string partial = "unchanged";
    EXPECT_FALSE(vek::WriteTemporaryFile(a, "0123456789", 10, true, partial));
    EXPECT_EQ("unchanged", partial);
    // The dead process neither publishes the finished file nor cleans it up.
    EXPECT_FALSE(vek::ReplaceWithTemporaryFile(finished, b));
    vek::DiscardTemporaryFile(finished);
    EXPECT_FALSE(vek::WriteFileReplacing(a, "a1", 2));
    vek::FailFileWritesAfter(-1);
    EXPECT_EQ("a0", Read(a));
    std::vector<std::string> left;
    for (const std::string& n : Names())
        if (vek::IsTemporaryFileName(n)) left.push_back(Read(Path(n)));
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::string>{"01234", "b1"}), left);
    EXPECT_FALSE(vek::IsTemporaryFileName("a"));
    EXPECT_FALSE(vek::IsTemporaryFileName(".hidden"));
}

TEST_F(WholeFile, WholeReadRefusesFoldersOversizedAndMissingFilesWithoutTouchingTheOutput) {
    ASSERT_TRUE(vek::WriteFileReplacing(Path("f"), "0123456789", 10));
    vek::MemBlock out;
    ASSERT_TRUE(out.Alloc(2));
    void* const before = out.Data();
    EXPECT_FALSE(vek::ReadWholeFile(dir.string(), out));
    EXPECT_FALSE(vek::ReadWholeFile(Path("f"), out, 9));
    EXPECT_FALSE(vek::ReadWholeFile(Path("none"), out));
    EXPECT_EQ(before, out.Data());
    ASSERT_TRUE(vek::ReadWholeFile(Path("f"), out, 10));
    EXPECT_EQ("0123456789", std::string(out.As<char>(), out.Size()));
}
