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
        for (const char* v :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR", "XDG_DESKTOP_DIR"})
            unsetenv(v);
    }
    void TearDown() override { fs::remove_all(root); }
};
} // namespace

TEST_F(TempHome, EnterCreatesNestedFoldersOnlyWhenAllowedAndIgnoresARelativeDataHome) {
    setenv("XDG_DATA_HOME", "relative/data", 1);
    FolderService f;
    ASSERT_TRUE(f.GoTo(3));
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ((root / ".local/share").string(), f.Current());
    EXPECT_FALSE(f.Enter("Vekstal/Sx", false));
    EXPECT_EQ((root / ".local/share").string(), f.Current());
    ASSERT_TRUE(f.Enter("/Vekstal/Sx", true));
    EXPECT_TRUE(fs::is_directory(root / ".local/share/Vekstal/Sx"));
    EXPECT_EQ((root / ".local/share/Vekstal/Sx/DATA2.BIN").string(), f.PathOf("DATA2.BIN"));
    ASSERT_TRUE(f.GoTo(4));
    EXPECT_TRUE(f.Enter("Vekstal/Sx", false));
}

// Folders are created one by one; after each the kind goes to the first that exists in its order.
TEST_F(TempHome, PicturesAndDocumentsFallBackThroughTheOtherUserFoldersToTheStartFolder) {
    const struct {
        int kind;
        std::vector<std::pair<const char*, const char*>> steps; // folder made, folder expected
    } cases[] = {
        {2, {{"", ""}, {"Desktop", "Desktop"}, {"Documents", "Documents"}, {"Pictures", "Pictures"}}},
        {1, {{"", ""}, {"Pictures", "Pictures"}, {"Desktop", "Desktop"}, {"Documents", "Documents"}}},
    };
    for (const auto& c : cases) {
        FolderService f;
        f.SetStartFolder(root.string());
        for (const auto& step : c.steps) {
            fs::create_directory(root / step.first);
            ASSERT_TRUE(f.GoTo(c.kind));
            EXPECT_EQ(*step.second ? (root / step.second).string() : root.string(), f.Current())
                << c.kind << " after " << step.first;
        }
        for (const char* made : {"Desktop", "Documents", "Pictures"})
            fs::remove(root / made);
    }
    // The user's own pictures folder: from the environment, or from user-dirs.dirs with $HOME.
    fs::create_directories(root / ".config");
    fs::create_directories(root / "Art");
    fs::create_directories(root / "Bilder");
    FILE* fp = fopen((root / ".config/user-dirs.dirs").c_str(), "w");
    fputs("# comment\nXDG_PICTURES_DIR=\"$HOME/Art\"\n", fp);
    fclose(fp);
    FolderService f;
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Art").string(), f.Current());
    setenv("XDG_PICTURES_DIR", (root / "Bilder").c_str(), 1);
    ASSERT_TRUE(f.GoTo(2));
    EXPECT_EQ((root / "Bilder").string(), f.Current());
    unsetenv("XDG_PICTURES_DIR");
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

TEST_F(TempHome, NothingIsEnteredOrCreatedBeforeAFolderKindWasChosenAndUnknownKindsChangeNothing) {
    FolderService f;
    EXPECT_FALSE(f.Enter("sx_should_not_exist", true));
    EXPECT_FALSE(fs::exists("/sx_should_not_exist"));
    ASSERT_TRUE(f.GoTo(7));
    EXPECT_FALSE(f.GoTo(8));
    EXPECT_FALSE(f.GoTo(-1));
    EXPECT_EQ("/", f.Current());
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
