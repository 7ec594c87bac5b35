// Application information, the single-instance lock across real processes and the desktop units.
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "shell/cVek_AppInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using vek::shell::SingleInstance;

TEST(AppInfo, UpgradeLevelPerDigitThatChanged) {
    EXPECT_EQ(0, cVek_AppInfo::UpgradeLevelBetween(123, 5, 123, 5));
    EXPECT_EQ(1, cVek_AppInfo::UpgradeLevelBetween(123, 5, 123, 4));
    EXPECT_EQ(2, cVek_AppInfo::UpgradeLevelBetween(123, 0, 121, 9));
    EXPECT_EQ(3, cVek_AppInfo::UpgradeLevelBetween(123, 0, 119, 0));
    EXPECT_EQ(4, cVek_AppInfo::UpgradeLevelBetween(123, 0, 99, 0));
    // A file from a newer program is nothing to upgrade from.
    EXPECT_EQ(0, cVek_AppInfo::UpgradeLevelBetween(123, 0, 124, 0));
    EXPECT_EQ(0, cVek_AppInfo::UpgradeLevelBetween(123, 0, 123, 7));
}

TEST(AppInfo, VersionCheckRecordsTheLevelAndUpdatesTheRecord) {
    {
        cVek_AppInfo gone;
    }
    EXPECT_EQ(nullptr, cVek_AppInfo::Instance());
    cVek_AppInfo info;
    EXPECT_EQ(&info, cVek_AppInfo::Instance());
    uint32_t record[4] = {100, 0, 42, 3};
    info.CheckVersion(record);
    EXPECT_EQ(4, info.UpgradeLevel());
    EXPECT_EQ((std::vector<uint32_t>{100, 0, 100, 0}), std::vector<uint32_t>(record, record + 4));
    info.CheckVersion(record); // the same version now
    EXPECT_EQ(0, info.UpgradeLevel());
}

class SingleInstanceTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/sx_lock_XXXXXX";
        dir = mkdtemp(tmpl);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Exit code of a child process that tries to take the lock (0 first, 1 already running).
    static int ChildTries(const char* name) {
        const pid_t pid = fork();
        if (pid == 0) {
            SingleInstance lock;
            _exit(lock.Acquire(name) == SingleInstance::kFirst ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The lock lives in the runtime folder, or without one in the user data folder; while it is held
// a second process is refused (another program's name is no obstacle), after Release it is free.
TEST_F(SingleInstanceTest, SecondProcessIsRefusedWhileTheFirstHoldsTheLockInEitherFolder) {
    for (const bool runtime : {true, false}) {
        if (!runtime) unsetenv("XDG_RUNTIME_DIR"), setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        SingleInstance first;
        ASSERT_EQ(SingleInstance::kFirst, first.Acquire("VekstalAppScribbix"));
        EXPECT_TRUE(fs::exists(dir / (runtime ? "VekstalAppScribbix" : "data/VekstalAppScribbix")));
        EXPECT_EQ(1, ChildTries("VekstalAppScribbix"));
        EXPECT_EQ(0, ChildTries("VekstalAppOther"));
        first.Release();
        EXPECT_EQ(0, ChildTries("VekstalAppScribbix"));
    }
    unsetenv("XDG_DATA_HOME");
}

TEST_F(SingleInstanceTest, LockEndsWithTheProcessHoldingIt) {
    int ready[2];
    ASSERT_EQ(0, pipe(ready));
    const pid_t holder = fork();
    if (holder == 0) {
        SingleInstance lock;
        const char ok = lock.Acquire("VekstalAppScribbix") == SingleInstance::kFirst ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause(); // until killed: the lock is never released by the program itself
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(1, read(ready[0], &ok, 1));
    ASSERT_EQ('y', ok);
    EXPECT_EQ(1, ChildTries("VekstalAppScribbix"));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(0, ChildTries("VekstalAppScribbix"));
    close(ready[0]);
    close(ready[1]);
}

TEST(DesktopUnits, ScreenIsOneUnitTallAndCentred) {
    vek::shell::CurrentScreen() = vek::shell::Screen{1280, 800, 32};
    double ux = 0, uy = 0;
    vek::shell::PixelToDesktop(0, 0, &ux, &uy);
    EXPECT_DOUBLE_EQ(-0.8, ux);
    EXPECT_DOUBLE_EQ(0.5, uy);
    vek::shell::PixelToDesktop(1280, 800, &ux, &uy);
    EXPECT_DOUBLE_EQ(0.8, ux);
    EXPECT_DOUBLE_EQ(-0.5, uy);
    vek::shell::PixelToDesktop(640, 400, &ux, &uy);
    EXPECT_DOUBLE_EQ(0.0, ux);
    EXPECT_DOUBLE_EQ(0.0, uy);
    double px = 0, py = 0;
    vek::shell::DesktopToPixel(0.4, 0.25, &px, &py);
    EXPECT_DOUBLE_EQ(960.0, px);
    EXPECT_DOUBLE_EQ(200.0, py);
    vek::shell::CurrentScreen() = vek::shell::Screen{};
}
