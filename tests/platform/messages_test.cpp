// Window creation, the message queue, sent messages, quit and timers on the headless driver.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "headless_fixture.h"

namespace {

struct Logged {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Logged&) const = default;
};

std::vector<Logged> received;                                  // what the window procedure saw
std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onMessage;  // a test's own handling, if any
std::vector<std::string> trace;                                // ordering across procedures

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(Logged{message, wParam, lParam});
    if (onMessage) return onMessage(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        received.clear();
        trace.clear();
        onMessage = nullptr;
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TEST";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }
    void TearDown() override {
        onMessage = nullptr;
        HeadlessTest::TearDown();
    }
    HWND Open() {
        HWND window = CreateWindowExA(0, "TEST", "Loading...", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        received.clear();
        return window;
    }
    // Retrieves and dispatches n messages; returns what GetMessageA answered for each.
    std::vector<Logged> Pump(int n) {
        std::vector<Logged> got;
        for (int i = 0; i < n; ++i) {
            MSG message;
            if (GetMessageA(&message, nullptr, 0, 0) == 0) {
                got.push_back(Logged{WM_QUIT, message.wParam, 0});
                break;
            }
            got.push_back(Logged{message.message, message.wParam, message.lParam});
            DispatchMessageA(&message);
        }
        return got;
    }
};

TEST_F(MessageTest, CreateRunsWmCreateThenWmSizeInsideTheCall) {
    HWND seenInCreate = nullptr;
    onMessage = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CREATE) {
            seenInCreate = window;
            EXPECT_TRUE(IsWindow(window));  // usable during its own creation
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    };
    HWND window = CreateWindowExA(0, "TEST", "Loading...", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seenInCreate, window);
    const std::vector<Logged> expected = {{WM_CREATE, 0, 0},
                                          {WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 480)}};
    EXPECT_EQ(received, expected);
    EXPECT_EQ(HeadlessWindowTitle(), "Loading...");
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.right - rect.left, 600);
    EXPECT_EQ(rect.bottom - rect.top, 480);
}

TEST_F(MessageTest, CreateFailsWhenWmCreateAnswersMinusOneOrTheClassIsUnknown) {
    onMessage = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_CREATE ? -1 : DefWindowProcA(window, message, wParam, lParam);
    };
    EXPECT_EQ(CreateWindowExA(0, "TEST", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "NONE", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    WNDCLASSEXA wrongSize{};
    wrongSize.cbSize = 48;  // the 32-bit layout's size is not this build's
    wrongSize.lpfnWndProc = RecordingProc;
    wrongSize.lpszClassName = "OTHER";
    EXPECT_EQ(RegisterClassExA(&wrongSize), 0);
}

TEST_F(MessageTest, QueuedMessagesComeInOrderBeforeAnyTimerTick) {
    HWND window = Open();
    SetTimer(window, 7, 50, nullptr);
    HeadlessAdvanceClock(60);  // the timer is due, but queued messages go first
    HeadlessMouseMove(20, 50);
    PostMessageA(window, WM_USER, 1, 2);
    HeadlessKeyDown('A');
    HeadlessButtonUp(WM_LBUTTONUP, 3, 4);
    const std::vector<Logged> expected = {{WM_MOUSEMOVE, 0, 0x00320014},
                                          {WM_USER, 1, 2},
                                          {WM_KEYDOWN, 'A', 1},
                                          {WM_LBUTTONUP, 0, 0x00040003},
                                          {WM_TIMER, 7, 0}};
    EXPECT_EQ(Pump(5), expected);
    EXPECT_EQ(received, expected);  // each reached the window procedure
}

TEST_F(MessageTest, MouseParameterCarriesXLowAndYHigh) {
    struct Case {
        int32_t x, y;
        LPARAM lParam;
    };
    const Case cases[] = {
        {20, 50, 0x00320014}, {0, 0, 0}, {599, 479, 0x01DF0257}, {0xFFFF, 1, 0x0001FFFF}};
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    for (const Case& c : cases) {
        HeadlessMouseMove(c.x, c.y);
        const std::vector<Logged> got = Pump(1);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].lParam, c.lParam) << c.x << "," << c.y;
        EXPECT_EQ(LOWORD(got[0].lParam), c.x & 0xFFFF);
        EXPECT_EQ(HIWORD(got[0].lParam), c.y & 0xFFFF);
    }
}

TEST_F(MessageTest, SendMessageNestsAndReturnsTheProcedureResult) {
    HWND window = Open();
    onMessage = [&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_USER) return DefWindowProcA(self, message, wParam, lParam);
        trace.push_back("enter " + std::to_string(wParam));
        LRESULT inner = 0;
        if (wParam < 2) inner = SendMessageA(self, WM_USER, wParam + 1, 0);
        trace.push_back("leave " + std::to_string(wParam));
        return inner + 10;
    };
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 30);
    const std::vector<std::string> expected = {"enter 0", "enter 1", "enter 2",
                                               "leave 2", "leave 1", "leave 0"};
    EXPECT_EQ(trace, expected);
    EXPECT_EQ(SendMessageA(nullptr, WM_USER, 0, 0), 0);
}

TEST_F(MessageTest, PostQuitMessageEndsTheNextGetMessageEvenWithMessagesQueued) {
    HWND window = Open();
    PostMessageA(window, WM_USER, 1, 0);
    PostQuitMessage(3);
    MSG message;
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    // The quit request is spent; what was queued is still delivered.
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER);
}

TEST_F(MessageTest, CloseButtonDestroysTheWindowThroughDefaultHandling) {
    HWND window = Open();
    SetTimer(window, 4, 50, nullptr);
    HeadlessClose();
    EXPECT_FALSE(HeadlessRunFor(1000));  // WM_QUIT retrieved
    const std::vector<Logged> expected = {{WM_CLOSE, 0, 0}, {WM_DESTROY, 0, 0}};
    EXPECT_EQ(received, expected);  // no timer tick after the window went
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);  // a stale handle is harmless
}

TEST_F(MessageTest, TimerProcedureGetsTheTickAndTheWindowProcedureDoesNot) {
    HWND window = Open();
    static std::vector<Logged> procedureTicks;
    procedureTicks.clear();
    const TIMERPROC procedure = [](HWND, UINT message, UINT_PTR id, DWORD time) {
        procedureTicks.push_back(Logged{message, id, static_cast<LPARAM>(time)});
    };
    SetTimer(window, 2, 20, procedure);
    SetTimer(window, 3, 30, nullptr);
    EXPECT_TRUE(HeadlessRunFor(60));
    const std::vector<Logged> byProcedure = {
        {WM_TIMER, 2, 20}, {WM_TIMER, 2, 40}, {WM_TIMER, 2, 60}};
    EXPECT_EQ(procedureTicks, byProcedure);
    std::vector<Logged> byWindow;
    for (const Logged& l : received) byWindow.push_back(Logged{l.message, l.wParam, 0});
    EXPECT_EQ(byWindow, (std::vector<Logged>{{WM_TIMER, 3, 0}, {WM_TIMER, 3, 0}}));
}

TEST_F(MessageTest, LateTicksCoalesceAndRescheduleFromNow) {
    // Ticks are due at max(due + period, now) after each one retrieved: a long stall gives the
    // tick that was due and one for the whole backlog, then the period resumes from the stall.
    HWND window = Open();
    SetTimer(window, 4, 50, nullptr);
    HeadlessAdvanceClock(500);
    std::vector<DWORD> times;
    for (int i = 0; i < 4; ++i) {
        MSG message;
        ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
        ASSERT_EQ(message.message, WM_TIMER);
        times.push_back(message.time);
    }
    EXPECT_EQ(times, (std::vector<DWORD>{500, 500, 550, 600}));
}

TEST_F(MessageTest, TimerRunsOnTheVirtualClockWithoutDriftOrSpinning) {
    struct Case {
        UINT period;
        uint32_t runMs;
        size_t ticks;
        const char* why;
    };
    const Case cases[] = {
        {50, 1000, 20, "every period, the last one exactly at the end"},
        {1000, 999, 0, "not before its period"},
        {0, 100, 10, "periods below 10 ms are raised to 10"},
        {3, 30, 3, "also a small nonzero period"},
    };
    for (const Case& c : cases) {
        PlatformResetForTest();
        SetUp();
        HWND window = Open();
        SetTimer(window, 1, c.period, nullptr);
        EXPECT_TRUE(HeadlessRunFor(c.runMs));
        EXPECT_EQ(received.size(), c.ticks) << c.why;
        EXPECT_EQ(GetTickCount(), c.runMs);
    }
}

TEST_F(MessageTest, KillTimerStopsTicksAndRearmingReplacesThePeriod) {
    HWND window = Open();
    SetTimer(window, 2, 20, nullptr);
    EXPECT_TRUE(HeadlessRunFor(40));
    EXPECT_EQ(received.size(), 2u);
    SetTimer(window, 2, 100, nullptr);  // same id: replaced, restarted from now (40)
    EXPECT_TRUE(HeadlessRunFor(100));
    EXPECT_EQ(received.size(), 3u);
    EXPECT_TRUE(KillTimer(window, 2));
    EXPECT_FALSE(KillTimer(window, 2));
    EXPECT_TRUE(HeadlessRunFor(1000));
    EXPECT_EQ(received.size(), 3u);
}

TEST_F(MessageTest, KillingTheTimerInsideItsOwnTickStopsIt) {
    HWND window = Open();
    static int ticks;
    ticks = 0;
    SetTimer(window, 2, 20, [](HWND self, UINT, UINT_PTR id, DWORD) {
        ++ticks;
        KillTimer(self, id);
    });
    EXPECT_TRUE(HeadlessRunFor(200));
    EXPECT_EQ(ticks, 1);
}

TEST_F(MessageTest, NoTickWhileAMessageIsBeingHandled) {
    HWND window = Open();
    static std::vector<std::string>* log;
    log = &trace;
    SetTimer(window, 5, 10, [](HWND, UINT, UINT_PTR, DWORD) { log->push_back("tick"); });
    onMessage = [&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_USER) {
            trace.push_back("begin");
            HeadlessAdvanceClock(100);  // a slow handler: the timer falls due meanwhile
            SendMessageA(self, WM_USER + 1, 0, 0);
            trace.push_back("end");
        }
        return DefWindowProcA(self, message, wParam, lParam);
    };
    PostMessageA(window, WM_USER, 0, 0);
    Pump(2);
    EXPECT_EQ(trace, (std::vector<std::string>{"begin", "end", "tick"}));
}

TEST_F(MessageTest, PostedTimerMessageCannotCallAnUnarmedProcedure) {
    HWND window = Open();
    static int calls;
    calls = 0;
    const TIMERPROC procedure = [](HWND, UINT, UINT_PTR, DWORD) { ++calls; };
    PostMessageA(window, WM_TIMER, 9, reinterpret_cast<LPARAM>(procedure));
    Pump(1);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(received.empty());  // nor is it handed to the window procedure
}

TEST_F(MessageTest, ScriptedActionsRunAtTheirVirtualTimeAndAnEndedScriptClosesTheWindow) {
    HWND window = Open();
    SetTimer(window, 1, 1000, nullptr);
    HeadlessAt(250, [] { HeadlessMouseMove(1, 2); });
    HeadlessAt(250, [] { HeadlessKeyDown(VK_LEFT); });
    HeadlessAt(1500, [] { HeadlessButtonUp(WM_RBUTTONUP, 5, 6); });
    KillTimer(window, 1);
    MSG message;
    std::vector<Logged> got;
    std::vector<DWORD> at;
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        got.push_back(Logged{message.message, message.wParam, message.lParam});
        at.push_back(GetTickCount());
        DispatchMessageA(&message);
    }
    const std::vector<Logged> expected = {{WM_MOUSEMOVE, 0, 0x00020001},
                                          {WM_KEYDOWN, VK_LEFT, 1},
                                          {WM_RBUTTONUP, 0, 0x00060005},
                                          {WM_CLOSE, 0, 0}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(at, (std::vector<DWORD>{250, 250, 1500, 1500}));
}

TEST_F(MessageTest, MoveWindowReportsTheNewRectangleAndSendsMoveAndSize) {
    HWND window = Open();
    ASSERT_TRUE(MoveWindow(window, 100, 50, 600, 480, TRUE));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right, 700);
    EXPECT_EQ(rect.bottom, 530);
    const std::vector<Logged> expected = {{WM_MOVE, 0, MAKELPARAM(100, 50)},
                                          {WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 480)}};
    EXPECT_EQ(received, expected);
}

}  // namespace
