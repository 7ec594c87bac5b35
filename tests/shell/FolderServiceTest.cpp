// The folder service: nested creation, entering without creation, fallbacks of the user folders.
#include "shell/FolderService.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using vek::FolderService;

namespace {
struct TempHome : ::testing::Test {
    fs::path root;
    void SetUp() override {
        char tmpl[] = "/tmp/sx_folders_XXXXXX";
        root = mkdtemp(tmpl);
        setenv("HOME", root.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_PICTURES_DIR");
        unsetenv("XDG_DESKTOP_DIR");
    }
    void TearDown() override { fs::remove_all(root); }
};
} // namespace

TEST_F(TempHome, EnterCreatesNestedFoldersOnlyWhenAllowed) {
    FolderService f;
    ASSERT_TRUE(f.GoTo(3));
    EXPECT_EQ((root / ".local/share").string(), f.Current());
    EXPECT_FALSE(f.Enter("Vekstal/Sx", false));
    EXPECT_EQ((root / ".local/share").string(), f.Current());
    ASSERT_TRUE(f.Enter("/Vekstal/Sx", true));
    EXPECT_TRUE(fs::is_directory(root / ".local/share/Vekstal/Sx"));
    EXPECT_EQ((root / ".local/share/Vekstal/Sx/DATA2.BIN").string(), f.PathOf("DATA2.BIN"));
    ASSERT_TRUE(f.GoTo(4));
    EXPECT_TRUE(f.Enter("Vekstal/Sx", false));
}

TEST_F(TempHome, PicturesFallBackToDocumentsThenDesktopThenStartFolder) {
    FolderService f;
    f.SetStartFolder(root.string());
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ(root.string(), f.Current());
    fs::create_directory(root / "Desktop");
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Desktop").string(), f.Current());
    fs::create_directory(root / "Documents");
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Documents").string(), f.Current());
    fs::create_directory(root / "Bilder");
    setenv("XDG_PICTURES_DIR", (root / "Bilder").c_str(), 1);
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Bilder").string(), f.Current());
    unsetenv("XDG_PICTURES_DIR");
}

TEST_F(TempHome, UserDirsFileIsReadWithHomeExpanded) {
    fs::create_directories(root / ".config");
    fs::create_directories(root / "Art");
    FILE* fp = fopen((root / ".config/user-dirs.dirs").c_str(), "w");
    fputs("# comment\nXDG_PICTURES_DIR=\"$HOME/Art\"\n", fp);
    fclose(fp);
    FolderService f;
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Art").string(), f.Current());
}

TEST_F(TempHome, UnknownKindFailsAndKeepsCurrentFolder) {
    FolderService f;
    ASSERT_TRUE(f.GoTo(7));
    EXPECT_FALSE(f.GoTo(8));
    EXPECT_FALSE(f.GoTo(-1));
    EXPECT_EQ("/", f.Current());
}

TEST_F(TempHome, DocumentsFallBackToDesktopThenPicturesThenStartFolder) {
    FolderService f;
    f.SetStartFolder(root.string());
    fs::create_directory(root / "Pictures");
    ASSERT_TRUE(f.GoTo(1));
    EXPECT_EQ((root / "Pictures").string(), f.Current());
    fs::create_directory(root / "Desktop");
    ASSERT_TRUE(f.GoTo(1));
    EXPECT_EQ((root / "Desktop").string(), f.Current());
}

TEST_F(TempHome, EnterStopsAtAComponentThatCannotBeMadeAndKeepsTheCurrentFolder) {
    FolderService f;
    ASSERT_TRUE(f.GoTo(3));
    fs::create_directories(root / ".local/share/Vekstal");
    FILE* fp = fopen((root / ".local/share/Vekstal/Sx").c_str(), "w"); // a file where a folder goes
    fclose(fp);
    const std::string before = f.Current();
    EXPECT_FALSE(f.Enter("Vekstal/Sx/Deeper", true));
    EXPECT_EQ(before, f.Current());
    EXPECT_FALSE(f.Enter("../escape", true));
    EXPECT_FALSE(fs::exists(root / ".local/escape"));
    EXPECT_EQ(before, f.Current());
}

TEST_F(TempHome, NothingIsEnteredOrCreatedBeforeAFolderKindWasChosen) {
    FolderService f;
    EXPECT_FALSE(f.Enter("sx_should_not_exist", true));
    EXPECT_FALSE(fs::exists("/sx_should_not_exist"));
}

TEST_F(TempHome, DataKindIsTheStartFolderDataAndAllUsersKindFollowsXdgDataDirs) {
    FolderService f;
    f.SetStartFolder(root.string());
    EXPECT_FALSE(f.GoTo(0)); // no Data folder beside the program
    fs::create_directory(root / "Data");
    ASSERT_TRUE(f.GoTo(0));
    EXPECT_EQ((root / "Data").string(), f.Current());
    ASSERT_TRUE(f.GoTo(6));
    EXPECT_EQ(root.string(), f.Current());

    fs::create_directory(root / "shared");
    setenv("XDG_DATA_DIRS", (root.string() + "/shared:/usr/share").c_str(), 1);
    ASSERT_TRUE(f.GoTo(5));
    EXPECT_EQ((root / "shared").string(), f.Current());
    setenv("XDG_DATA_DIRS", (root.string() + "/missing").c_str(), 1);
    EXPECT_FALSE(f.GoTo(5));
    EXPECT_EQ((root / "shared").string(), f.Current());
    unsetenv("XDG_DATA_DIRS");
}

TEST_F(TempHome, RelativeXdgDataHomeIsIgnored) {
    setenv("XDG_DATA_HOME", "relative/data", 1);
    FolderService f;
    ASSERT_TRUE(f.GoTo(3));
    EXPECT_EQ((root / ".local/share").string(), f.Current());
    unsetenv("XDG_DATA_HOME");
}
