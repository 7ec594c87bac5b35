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

// Program version 123.x against a file's: one level per digit that changed; a file from a newer
// program is nothing to upgrade from.
TEST(AppInfo, UpgradeLevelPerDigitThatChanged) {
    const int cases[][5] = {{123, 5, 123, 5, 0}, {123, 5, 123, 4, 1}, {123, 0, 121, 9, 2},
                            {123, 0, 119, 0, 3}, {123, 0, 99, 0, 4},  {123, 0, 124, 0, 0},
                            {123, 0, 123, 7, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c[4], cVek_AppInfo::UpgradeLevelBetween(c[0], c[1], c[2], c[3])) << c[2] << "." << c[3];
}

TEST(AppInfo, VersionCheckRecordsTheLevelAndUpdatesTheRecord) {
    { cVek_AppInfo gone; }
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

// 1280 x 800: the screen is one unit tall, 1.6 wide, centred on the origin, y upwards.
TEST(DesktopUnits, ScreenIsOneUnitTallAndCentred) {
    vek::shell::CurrentScreen() = vek::shell::Screen{1280, 800, 32};
    const double points[][4] = {
        {0, 0, -0.8, 0.5}, {1280, 800, 0.8, -0.5}, {640, 400, 0, 0}, {960, 200, 0.4, 0.25}};
    for (const auto& p : points) {
        double ux = 0, uy = 0, px = 0, py = 0;
        vek::shell::PixelToDesktop(p[0], p[1], &ux, &uy);
        vek::shell::DesktopToPixel(p[2], p[3], &px, &py);
        EXPECT_DOUBLE_EQ(p[2], ux);
        EXPECT_DOUBLE_EQ(p[3], uy);
        EXPECT_DOUBLE_EQ(p[0], px);
        EXPECT_DOUBLE_EQ(p[1], py);
    }
    vek::shell::CurrentScreen() = vek::shell::Screen{};
}
