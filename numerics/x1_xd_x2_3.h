#pragma once

// An interval of the abscissa: first and last value.
class interval_3 {
 public:
  interval_3() = default;
  interval_3(double first, double last) : x1(first), x2(last) {}
  interval_3(const interval_3&) = default;
  interval_3& operator=(const interval_3&) = default;
  virtual ~interval_3() = default;

  double length() const { return x2 - x1; }
  bool contains(double x) const { return x >= x1 && x <= x2; }

  double x1 = 0.0;  // first abscissa
  double x2 = 0.0;  // last abscissa
};

// The stepped abscissa of a curve: n points from x1 to x2 with
// step xd, so that x2 = x1 + (n - 1) * xd.
class x1_xd_x2_3 : public interval_3 {
 public:
  x1_xd_x2_3() = default;
  x1_xd_x2_3(double first, double step, int count) { set_first_step_count(first, step, count); }

  // The one virtual operation: the step from the ends, xd = (x2 - x1) / (n - 1).
  // With fewer than two points the step is left as it is.
  virtual void recompute_step();

  // x1, xd and n given; x2 = x1 + (n - 1) * xd.
  void set_first_step_count(double first, double step, int count);
  // Abscissa of point i (0-based): x1 + i * xd.
  double x_at(double i) const { return x1 + i * xd; }

  int n = 0;         // number of points
  double xd = 0.0;   // step between points
};
