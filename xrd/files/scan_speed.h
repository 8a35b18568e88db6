#pragma once

#include <string_view>

// Seconds per point of a scan measured at `speed` in `unit` over `step`
// degrees: a rate in degrees per minute (the default) or second, or a time
// per point in seconds or minutes. False for an unknown unit or a speed or
// result that is not positive.
bool seconds_per_point(double speed, std::string_view unit, double step, double& seconds);
