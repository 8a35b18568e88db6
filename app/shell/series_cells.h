#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/summary_line.h"

// A series row's figures as the summaries give them: a figure fills its
// cell and the cell of its uncertainty; a bound, a figure not resolved or
// not determined leaves both empty and says so among the row's notes, in
// the words of the lines' table ("area-weighted length at least 352.0 A").
class series_cells {
 public:
  void figure(const summary_value& v, const char* what, const char* unit);
  // A figure without an uncertainty column; empty where it is not finite.
  void plain(double v, const char* format);
  void text(const std::string& cell);
  void note(const std::string& n);

  std::vector<std::string> cells;
  std::vector<std::string> notes;

  // The notes joined with "; ".
  std::string warning() const;
};
