#pragma once

class fund_type_3;

// The limits a data file's options take from the file itself: the frequency
// limit within the transform's axis, the tails' indices within the scan (and
// a tail no longer than the transform can take), the background line within
// a few times the scan's largest ordinate. The template cannot give them,
// for they differ from file to file. False for an option without such limits
// or a file without a profile yet. `reading` (a project, whose records may
// give the doubling and the tails after the limit): the frequency limit may
// reach the longest axis a transform can have.
bool option_data_limits(fund_type_3& option, double& lo, double& hi, bool reading);

// Makes every typed value ask option_data_limits.
void install_option_limits();
