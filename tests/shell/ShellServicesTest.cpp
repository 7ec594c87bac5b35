// Application information, the single-instance lock across real processes, the program's time
// value, the message clock's out-of-order stamps and the desktop units.
#include "shell/Clock.h"
#include "shell/Random.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "shell/cVek_AppInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using vek::shell::SingleInstance;

TEST(AppInfo, TitleAndVersionTextFromTheVersionDigits) {
    EXPECT_EQ("1.0.0", cVek_AppInfo::VersionText());
    EXPECT_EQ("Scribbix v1.0.0", cVek_AppInfo::WindowTitle());
    EXPECT_EQ("VekstalAppScribbix", SingleInstance::NameForTitle(cVek_AppInfo::WindowTitle()));
}

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
    cVek_AppInfo info;
    EXPECT_EQ(&info, cVek_AppInfo::Instance());
    uint32_t record[4] = {100, 0, 42, 3};
    info.CheckVersion(record);
    EXPECT_EQ(4, info.UpgradeLevel());
    EXPECT_EQ(100u, record[0]);
    EXPECT_EQ(0u, record[1]);
    EXPECT_EQ(100u, record[2]);
    EXPECT_EQ(0u, record[3]);
    info.CheckVersion(record); // the same version now
    EXPECT_EQ(0, info.UpgradeLevel());
}

TEST(AppInfo, InstanceClearedWhenDeleted) {
    { cVek_AppInfo info; }
    EXPECT_EQ(nullptr, cVek_AppInfo::Instance());
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

TEST_F(SingleInstanceTest, SecondProcessIsRefusedWhileTheFirstHoldsTheLock) {
    SingleInstance first;
    ASSERT_EQ(SingleInstance::kFirst, first.Acquire("VekstalAppScribbix"));
    EXPECT_TRUE(fs::exists(dir / "VekstalAppScribbix"));
    EXPECT_EQ(1, ChildTries("VekstalAppScribbix"));
    EXPECT_EQ(0, ChildTries("VekstalAppOther")); // another program's name is no obstacle
    first.Release();
    EXPECT_EQ(0, ChildTries("VekstalAppScribbix"));
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

TEST_F(SingleInstanceTest, WithoutRuntimeFolderTheLockGoesToTheUserDataFolder) {
    unsetenv("XDG_RUNTIME_DIR");
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    SingleInstance first;
    ASSERT_EQ(SingleInstance::kFirst, first.Acquire("VekstalAppScribbix"));
    EXPECT_TRUE(fs::exists(dir / "data/VekstalAppScribbix"));
    EXPECT_EQ(1, ChildTries("VekstalAppScribbix"));
    unsetenv("XDG_DATA_HOME");
}

TEST(ProgramTime, SecondsSince1601PlusOffsetWrapModulo2To32) {
    EXPECT_EQ(4167710896u, vek::ProgramTimeValueAt(0));
    EXPECT_EQ(1572743600u, vek::ProgramTimeValueAt(1700000000));
}

TEST(Random, SeededFromTheTimeValueOfAGivenMoment) {
    vek::RandomSeed(vek::ProgramTimeValueAt(1700000000));
    EXPECT_EQ(0x6548f971u, vek::RandomNext());
    EXPECT_EQ(0xc7b23a08u, vek::RandomNext());
    EXPECT_EQ(0x8f1ad243u, vek::RandomNext());
}

TEST(MessageClock, OutOfOrderStampDoesNotJumpAlmostFiftyDays) {
    vek::MessageClock c;
    c.Advance(5000);
    c.Advance(5100);
    EXPECT_NEAR(5.1, c.Advance(5099), 1e-9); // one stamp late: no time passes
    EXPECT_NEAR(5.12, c.Advance(5120), 1e-9); // and the next counts from the newest stamp
}

TEST(MessageClock, FirstStampCountsFromZeroEvenWhenLarge) {
    vek::MessageClock c;
    EXPECT_NEAR(3000000.0, c.Advance(3000000000u), 1e-6);
    EXPECT_NEAR(3000000.01, c.Advance(3000000010u), 1e-6);
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
