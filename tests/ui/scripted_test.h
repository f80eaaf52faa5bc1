// A test that plays the user through the headless runner: a fresh script per test, and every
// step of it must have been played by the end.
#pragma once
#include <gtest/gtest.h>

#include "platform/headless/script.h"

namespace zentora::testing {

class ScriptedTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(script.Leftover(), ""); }

  platform::headless::Script script;
};

}  // namespace zentora::testing
