// The stepped abscissa x1_xd_x2_3 used by the Fourier family.
#include <gtest/gtest.h>

#include "numerics/x1_xd_x2_3.h"

TEST(SteppedAxis, StepFromTheEndsAndEndFromTheStep) {
  x1_xd_x2_3 a(10.0, 0.5, 5);
  EXPECT_DOUBLE_EQ(a.x2, 12.0);
  EXPECT_DOUBLE_EQ(a.x_at(3), 11.5);
  a.x2 = 14.0;
  a.recompute_step();
  EXPECT_DOUBLE_EQ(a.xd, 1.0);
  x1_xd_x2_3 single(1.0, 0.25, 1);
  single.recompute_step();
  EXPECT_DOUBLE_EQ(single.xd, 0.25) << "fewer than two points: the step stays, not a division by zero";
}
