#include "xrd/files/scan_speed.h"

#include <cmath>

bool seconds_per_point(double speed, std::string_view unit, double step, double& seconds) {
  if (!(speed > 0.0)) return false;
  if (unit == "deg/min" || unit.empty()) {
    seconds = step / speed * 60.0;
  } else if (unit == "deg/sec" || unit == "deg/s") {
    seconds = step / speed;
  } else if (unit == "sec" || unit == "s") {
    seconds = speed;
  } else if (unit == "min") {
    seconds = speed * 60.0;
  } else {
    return false;
  }
  return std::isfinite(seconds) && seconds > 0.0;
}
