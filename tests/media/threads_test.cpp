// Threads as the sound thread uses them: started at once, waited on through the handle, the
// routine's result as the exit code, and running on after the handle is closed.
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<bool> release{false};

DWORD WINAPI WaitForRelease(LPVOID parameter) {
    while (!release.load()) std::this_thread::yield();
    return DWORD(reinterpret_cast<uintptr_t>(parameter));
}

TEST(Threads, ExitCodeAndWaitFollowTheRoutine) {
    release = false;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, reinterpret_cast<LPVOID>(77), 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    DWORD code = 0;
    ASSERT_EQ(GetExitCodeThread(thread, &code), TRUE);
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    release = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    ASSERT_EQ(GetExitCodeThread(thread, &code), TRUE);
    EXPECT_EQ(code, 77u);
    EXPECT_EQ(CloseHandle(thread), TRUE);
    // A closed handle is no longer accepted.
    EXPECT_EQ(CloseHandle(thread), FALSE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
    EXPECT_EQ(GetExitCodeThread(thread, &code), FALSE);
}

TEST(Threads, ClosedHandleLeavesTheThreadRunning) {
    release = false;
    const uint32_t before = RunningThreadCount();
    HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, nullptr, 0x20, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(CloseHandle(thread), TRUE);
    EXPECT_EQ(RunningThreadCount(), before + 1);
    release = true;
    while (RunningThreadCount() != before) std::this_thread::yield();
}

TEST(Threads, UnsupportedRequestsFail) {
    EXPECT_EQ(CreateThread(nullptr, 0, WaitForRelease, nullptr, CREATE_SUSPENDED, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    int notAThread = 0;
    EXPECT_EQ(CloseHandle(&notAThread), FALSE);
    EXPECT_EQ(WaitForSingleObject(&notAThread, 0), WAIT_FAILED);
}

}  // namespace
