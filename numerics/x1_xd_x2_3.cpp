#include "numerics/x1_xd_x2_3.h"

void x1_xd_x2_3::recompute_step() {
  if (n > 1) xd = (x2 - x1) / (n - 1);
}

void x1_xd_x2_3::set_first_step_count(double first, double step, int count) {
  x1 = first;
  xd = step;
  n = count;
  x2 = first + (count - 1) * step;
}
