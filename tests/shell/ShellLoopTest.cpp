// The shell's start-up, main loop, activation and shutdown against a scripted window system and a
// fake clock: nothing sleeps, every time value is chosen by the test.
#include "shell/Clock.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vek::shell;

namespace {

uint64_t g_fakeMicros = 0;
uint64_t FakeClock() {
    return g_fakeMicros;
}

struct Message {
    enum Kind { kInput, kActivate, kDeactivate, kPaint, kClose, kCall } kind;
    uint32_t stamp;
    std::function<void()> call;
};

class FakeWindows : public WindowSystem {
  public:
    std::deque<Message> queue;
    std::vector<std::string> log;
    int displayWidth = 1280, displayHeight = 800;
    int glFailures = 0; // attempts that fail before one succeeds
    int glAttempts = 0;
    bool timerWorks = true;
    int inputsDispatched = 0;
    int waits = 0;
    std::function<void()> onWait; // the loop blocked: what arrives next

    void ClearInputState() override { log.push_back("clear-input"); }
    bool CreateWindow(const std::string& title) override { return log.push_back("window " + title), true; }
    bool CreateGlContext() override {
        ++glAttempts;
        if (glFailures > 0) {
            --glFailures;
            return false;
        }
        log.push_back("gl");
        return true;
    }
    void DestroyGlContext() override { log.push_back("destroy-gl"); }
    void DestroyWindow() override { log.push_back("destroy-window"); }
    bool ReadDisplayMode(int* w, int* h, int* d) override {
        return *w = displayWidth, *h = displayHeight, *d = 32, true;
    }
    bool PeekMessage(uint32_t* stamp) override {
        if (queue.empty()) return false;
        current_ = queue.front();
        queue.pop_front();
        *stamp = current_.stamp;
        return true;
    }
    void DispatchMessage(Shell& shell) override {
        const Message::Kind k = current_.kind;
        if (k == Message::kInput) ++inputsDispatched;
        if (k == Message::kActivate || k == Message::kDeactivate) shell.OnActivate(k == Message::kActivate);
        if (k == Message::kPaint) shell.OnPaint();
        if (k == Message::kClose) shell.OnCloseRequest();
        if (k == Message::kCall) current_.call();
    }
    void WaitMessage() override {
        ++waits;
        if (onWait) onWait();
        if (queue.empty()) queue.push_back({Message::kClose, 0, {}}); // never hang a test
    }
    bool WaitOnTimer(double seconds) override {
        log.push_back("timer");
        if (!timerWorks) return false;
        g_fakeMicros += static_cast<uint64_t>(seconds * 1e6);
        return true;
    }
    void ShowArrowCursor() override {}
    void ShowCurrentCursor() override {}
    void SendToBackAndMinimise() override { log.push_back("minimise"); }
    void BringToFrontAndRestore() override { log.push_back("restore"); }
    void ResetView() override { log.push_back("reset-view"); }
    void Invalidate() override { log.push_back("invalidate"); }

    long Logged(const char* what) const { return std::count(log.begin(), log.end(), what); }
    void Push(Message::Kind kind, uint32_t stamp, std::function<void()> call = {}) {
        queue.push_back({kind, stamp, std::move(call)});
    }

  private:
    Message current_{Message::kInput, 0, {}};
};

// What the program's slots saw; plain functions reach it through this pointer.
struct Recorder {
    FakeWindows* windows = nullptr;
    std::vector<int> inputsAtFrame; // inputs dispatched when each frame ran
    std::vector<int> activations;   // activation handler arguments in order
    std::vector<std::string> order; // slot calls
    uint64_t frameCostMicros = 10000;
    size_t quitAfterFrames = 0; // 0: quit once the queue is empty
    int closeRequests = 0;
    int loaderRuns = 0;
    std::function<void()> inFrame;
};
Recorder* g_rec = nullptr;

void RecordFrame() {
    Recorder& r = *g_rec;
    r.inputsAtFrame.push_back(r.windows->inputsDispatched);
    g_fakeMicros += r.frameCostMicros;
    if (r.inFrame) r.inFrame();
    const bool done =
        r.quitAfterFrames ? r.inputsAtFrame.size() >= r.quitAfterFrames : r.windows->queue.empty();
    if (done) RequestQuit();
}

class ShellLoop : public ::testing::Test {
  protected:
    FakeWindows windows;
    Recorder rec;
    Shell shell;
    fs::path runtimeDir;

    void SetUp() override {
        char tmpl[] = "/tmp/sx_shell_XXXXXX";
        runtimeDir = mkdtemp(tmpl);
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        g_fakeMicros = 1000000;
        vek::SetClockSource(FakeClock);
        vek::GlobalMessageClock().Reset();
        Flood() = FloodGuard{};
        RedrawCounter() = 0;
        rec.windows = &windows;
        g_rec = &rec;
        shell.slots.setup = [] {
            g_rec->order.push_back("setup");
            Shell::Current()->InstallActivationHandler(
                [](int gained) { g_rec->activations.push_back(gained); });
            Shell::Current()->InstallGlResourceLoader([] { ++g_rec->loaderRuns; });
        };
        shell.slots.frame = RecordFrame;
        shell.slots.shutdown = [] { g_rec->order.push_back("shutdown"); };
        shell.slots.closeRequest = [] { ++g_rec->closeRequests, RequestQuit(); };
    }
    void TearDown() override {
        vek::SetClockSource(nullptr);
        g_rec = nullptr;
        fs::remove_all(runtimeDir);
    }
    int Run() { return shell.Run(windows, "Test v1.0.0"); }
    // Another run of the program, for the next case of a table: clocks and guards start afresh.
    int RunAgain() {
        g_fakeMicros = 1000000;
        vek::GlobalMessageClock().Reset();
        Flood() = FloodGuard{};
        SetStrokeFrameForcing(0);
        rec.inputsAtFrame.clear();
        rec.activations.clear();
        rec.order.clear();
        Shell again;
        again.slots = shell.slots;
        const int rc = again.Run(windows, "Test v1.0.0");
        loaderPendingAfterRun = again.GlResourceLoaderPending();
        return rc;
    }
    bool loaderPendingAfterRun = false;
    // The stroke's press: the tool box turns on stroke frame forcing while handling it.
    void PushPress(uint32_t stamp) {
        windows.Push(Message::kCall, stamp, [] { SetStrokeFrameForcing(1); });
    }
};

// During a stroke a frame is forced on the sixth message that is at least 0.1 s of message time
// after the last frame; without a stroke a flood of messages is drained first.
TEST_F(ShellLoop, FloodGuardForcesFramesOnlyDuringAStrokeAfterSixMessagesAndATenthOfASecond) {
    const struct {
        bool stroke;
        uint32_t count, spacingMs;
        std::vector<int> inputsAtFrame;
    } cases[] = {
        {true, 12, 30, {5, 11, 12}}, // 30 ms apart: the count of 5 is the limit
        {true, 20, 12, {9, 18, 20}}, // 12 ms apart: forced at 1.108 s (past 1.1), then past 1.208
        {false, 40, 5, {40}},
    };
    for (const auto& c : cases) {
        windows = FakeWindows{};
        windows.Push(Message::kPaint, 1000);
        if (c.stroke) PushPress(1000);
        for (uint32_t i = 1; i <= c.count; ++i)
            windows.Push(Message::kInput, 1000 + c.spacingMs * i);
        ASSERT_EQ(0, RunAgain());
        EXPECT_EQ(c.inputsAtFrame, rec.inputsAtFrame) << c.spacingMs;
    }
}

TEST_F(ShellLoop, InactiveApplicationRunsNoFramesAndBlocks) {
    windows.Push(Message::kPaint, 1000);
    windows.Push(Message::kDeactivate, 1010);
    int wave = 0;
    windows.onWait = [&] {
        // First wake-up: pointer messages while minimised; second: the close.
        if (wave++ == 0)
            for (uint32_t i = 0; i < 3; ++i)
                windows.Push(Message::kInput, 2000 + i);
        else
            windows.Push(Message::kClose, 3000);
    };
    ASSERT_EQ(0, Run());
    EXPECT_TRUE(rec.inputsAtFrame.empty());
    EXPECT_EQ(2, windows.waits);
    EXPECT_EQ((std::vector<int>{1, 0}), rec.activations);
    EXPECT_EQ(1, rec.closeRequests);
    EXPECT_EQ(1, windows.Logged("minimise"));
}

TEST_F(ShellLoop, ActivationWaitsForAPaintWithAnUnchangedDisplaySize) {
    std::vector<bool> pendingSeen;
    const auto notePending = [&] { pendingSeen.push_back(shell.Flags().activationPending); };
    windows.Push(Message::kPaint, 1000);
    windows.Push(Message::kDeactivate, 1100);
    windows.Push(Message::kCall, 1200, [&] { windows.displayWidth = 1600, windows.displayHeight = 900; });
    windows.Push(Message::kActivate, 1300);
    windows.Push(Message::kPaint, 1400); // finds the new size: only records it
    windows.Push(Message::kCall, 1400, notePending);
    windows.Push(Message::kCall, 1400, [&] { EXPECT_EQ((std::vector<int>{1, 0}), rec.activations); });
    windows.Push(Message::kPaint, 1500); // same size again: completes the activation
    windows.Push(Message::kCall, 1500, notePending);
    rec.quitAfterFrames = 1;
    ASSERT_EQ(0, Run());
    EXPECT_EQ((std::vector<bool>{true, false}), pendingSeen);
    EXPECT_EQ((std::vector<int>{1, 0, 1}), rec.activations);
    EXPECT_EQ(1600, CurrentScreen().width);
    EXPECT_EQ(900, CurrentScreen().height);
    // The paint that found the new size asked for another; the view follows the new size once
    // the GL side is back.
    EXPECT_EQ(1, windows.Logged("invalidate"));
    EXPECT_EQ(1, windows.Logged("reset-view"));
}

TEST_F(ShellLoop, DisplayChangeWhileActiveResetsTheViewOnTheNextPaint) {
    windows.Push(Message::kPaint, 1000);
    windows.Push(Message::kCall, 1100, [&] { windows.displayWidth = 1920, windows.displayHeight = 1200; });
    windows.Push(Message::kPaint, 1200);
    windows.Push(Message::kCall, 1200, [&] { EXPECT_EQ(0, windows.Logged("reset-view")); });
    windows.Push(Message::kPaint, 1300);
    ASSERT_EQ(0, Run());
    EXPECT_EQ(1, windows.Logged("reset-view"));
    EXPECT_EQ((std::vector<int>{1}), rec.activations); // no new activation, no handler call
    EXPECT_DOUBLE_EQ(1.6, ScreenAspect());
}

// The command saves once (not again on the deactivation that may follow) and the GL side comes
// back on the return. Without a window manager (or one that does not iconify) the window stays on
// screen and nothing deactivates it: its next paint must bring the GL side back, or it never
// draws again.
TEST_F(ShellLoop, MinimiseCommandSavesOnceAndTheGlSideComesBackWhateverTheWindowSystemDid) {
    const std::vector<std::vector<Message::Kind>> afterCommand = {
        {Message::kDeactivate, Message::kActivate, Message::kPaint}, // minimised, then restored
        {Message::kActivate, Message::kPaint},                       // no deactivation reported
        {Message::kPaint},                                           // minimise refused
    };
    for (const auto& next : afterCommand) {
        windows.Push(Message::kPaint, 1000);
        windows.Push(Message::kCall, 1100, [] { MinimiseCommand(); });
        for (size_t i = 0; i < next.size(); ++i)
            windows.Push(next[i], uint32_t(1150 + 50 * i));
        ASSERT_EQ(0, RunAgain());
        EXPECT_EQ((std::vector<int>{1, 0, 1}), rec.activations) << next.size();
    }
}

TEST_F(ShellLoop, PaintWithoutPendingActivationDoesNotCallTheHandlerAgain) {
    windows.Push(Message::kPaint, 1000);
    windows.Push(Message::kPaint, 1100);
    windows.Push(Message::kActivate, 1200); // already active on the GL side
    windows.Push(Message::kPaint, 1300);
    ASSERT_EQ(0, Run());
    EXPECT_EQ((std::vector<int>{1}), rec.activations);
    EXPECT_EQ(2u, RedrawCounter()); // one per completed activation
}

// 1 ms frames: after a pause of 0.05 s the next frame ends 51 ms after the previous end, so only
// every other frame is followed by a pause; 6 ms frames never pause.
TEST_F(ShellLoop, FastFramesPauseTakingTheFrameEndBeforeThePauseAndSlowFramesDoNot) {
    for (const auto& c : {std::pair<uint64_t, long>{1000, 3}, {6000, 0}}) {
        windows.log.clear();
        windows.Push(Message::kPaint, 1000);
        rec.frameCostMicros = c.first;
        rec.quitAfterFrames = 6;
        ASSERT_EQ(0, RunAgain());
        EXPECT_EQ(c.second, windows.Logged("timer")) << c.first;
    }
}

TEST_F(ShellLoop, WithoutATimerThePauseSpinsOnTheClockForTheFullTime) {
    windows.Push(Message::kPaint, 1000);
    windows.timerWorks = false;
    rec.frameCostMicros = 1000;
    rec.quitAfterFrames = 2;
    // The clock advances 1 ms per read while spinning.
    vek::SetClockSource([] { return g_fakeMicros += 1000, g_fakeMicros; });
    const uint64_t before = g_fakeMicros;
    ASSERT_EQ(0, Run());
    EXPECT_GE(g_fakeMicros - before, 50000u);
}

// A close message and the stop signals are the same close request: its slot runs once, then
// shutdown, the GL side going before the window; a quit ends the loop after the pass that saw it.
TEST_F(ShellLoop, CloseMessageAndStopSignalsRunTheCloseRequestThenShutdownInOrder) {
    for (int sig : {0, SIGTERM, SIGINT, SIGHUP}) {
        windows = FakeWindows{};
        rec.closeRequests = 0;
        windows.Push(Message::kPaint, 1000);
        if (!sig) windows.Push(Message::kClose, 1100);
        rec.quitAfterFrames = 100;
        rec.inFrame = [sig] {
            if (sig && g_rec->inputsAtFrame.size() == 2) raise(sig);
        };
        ASSERT_EQ(0, RunAgain()) << sig;
        EXPECT_EQ(1, rec.closeRequests) << sig;
        EXPECT_EQ(sig ? 3u : 1u, rec.inputsAtFrame.size()) << sig;
        EXPECT_EQ((std::vector<std::string>{"setup", "shutdown"}), rec.order) << sig;
        const auto at = [&](const char* what) {
            return std::find(windows.log.begin(), windows.log.end(), what) - windows.log.begin();
        };
        EXPECT_LT(at("destroy-gl"), at("destroy-window")) << sig;
    }
}

// Two attempts at a context: the loader runs once one succeeds and waits otherwise; set-up runs
// either way, and a context never made is never destroyed.
TEST_F(ShellLoop, GlResourceLoaderRunsWithALiveContextAndWaitsWithoutOne) {
    for (int failures : {1, 2}) {
        windows = FakeWindows{};
        rec.loaderRuns = 0;
        windows.glFailures = failures;
        windows.Push(Message::kPaint, 1000);
        ASSERT_EQ(0, RunAgain());
        EXPECT_EQ(2, windows.glAttempts);
        EXPECT_EQ(failures == 1 ? 1 : 0, rec.loaderRuns);
        EXPECT_EQ(failures == 2, loaderPendingAfterRun);
        EXPECT_EQ((std::vector<std::string>{"setup", "shutdown"}), rec.order);
        EXPECT_EQ(failures == 1, windows.Logged("destroy-gl") == 1);
    }
}

// The window system may report a lost display more than once while the slot is still saving.
TEST_F(ShellLoop, DisplayLossRunsItsSlotOnce) {
    static int lost = 0;
    shell.slots.displayLost = [] { ++lost; };
    windows.Push(Message::kPaint, 1000);
    windows.Push(Message::kCall, 1100, [&] { shell.OnDisplayLost(), shell.OnDisplayLost(); });
    ASSERT_EQ(0, Run());
    EXPECT_EQ(1, lost);
}

TEST_F(ShellLoop, SecondCopyEndsAtOnceWithExitCodeZero) {
    SingleInstance first;
    ASSERT_EQ(SingleInstance::kFirst, first.Acquire(SingleInstance::NameForTitle("Test v1.0.0")));
    EXPECT_EQ(0, Run());
    EXPECT_TRUE(windows.log.empty()); // no window, no set-up
    EXPECT_TRUE(rec.order.empty());
    first.Release();
    windows.Push(Message::kPaint, 1000);
    EXPECT_EQ(0, Run());
    EXPECT_EQ((std::vector<std::string>{"setup", "shutdown"}), rec.order);
}

} // namespace

// The frame timer's first interval is zero, then the clock difference; switching the clock's source
// never runs it backwards.
TEST(FrameClock, FirstIntervalIsZeroAndSwitchingTheSourceNeverRunsBackwards) {
    g_fakeMicros = 5000000;
    vek::SetClockSource(FakeClock);
    vek::FrameTimer t;
    EXPECT_EQ(0.0, t.Next());
    g_fakeMicros += 16667;
    EXPECT_NEAR(0.016667, t.Next(), 1e-9);
    vek::SetClockSource(nullptr);

    g_fakeMicros = 9000000000ull;
    const uint64_t before = vek::ClockMicros();
    vek::SetClockSource(FakeClock);
    EXPECT_EQ(before, vek::ClockMicros()); // the fake source starts where the count was
    g_fakeMicros += 250;
    EXPECT_EQ(before + 250, vek::ClockMicros());
    g_fakeMicros -= 1000; // a source going back does not take the clock with it
    EXPECT_EQ(before + 250, vek::ClockMicros());
    vek::SetClockSource(nullptr);
    EXPECT_GE(vek::ClockMicros(), before + 250);
}
