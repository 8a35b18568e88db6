#include "core/numeric_abort.h"

#include <gtest/gtest.h>

#include "core/error_message.h"

namespace {

TEST(RunAction, EndsAnActionThatGivesUpWithItsMessageAndRunsTheNext) {
  recording_reporter shown;
  error_reporter* previous = set_error_reporter(&shown);
  int steps = 0;
  const bool first = run_action([&] {
    if (++steps > 0) throw numeric_abort("No convergence");
    steps += 10;
  });
  const bool second = run_action([&] { ++steps; });
  set_error_reporter(previous);
  EXPECT_FALSE(first);
  EXPECT_TRUE(second);
  EXPECT_EQ(steps, 2) << "the rest of the first action did not run, the next one did";
  ASSERT_EQ(shown.messages.size(), 1u);
  EXPECT_EQ(shown.messages[0].text, "No convergence");
}

}  // namespace
