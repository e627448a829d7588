// Runs each test on the headless driver from a clean platform state: no window, no timers,
// the virtual clock at 0.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/headless.h"
#include "platform/windows.h"

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELMORA_DRIVER", "headless", 1);  // read once, at the first platform call
        ASSERT_TRUE(HeadlessActive());
        PlatformResetForTest();
    }
    void TearDown() override { PlatformResetForTest(); }
};
