#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// A series table as the batch tool writes it for a run over many scans: a
// CSV file with one header row,
//   index,file,scan,name,start_time,temperature_C,<the command's columns>,warning
// and one row per scan in index order. Cells are quoted as CSV quotes them
// (a cell holding a comma, a quote or a line end is in quotes, its quotes
// doubled); an empty cell is a figure the scan did not give. A scan that
// failed has its message in "warning" and its figures empty.
struct series_table {
  static constexpr double none = std::numeric_limits<double>::quiet_NaN();

  struct row {
    int index = 0;
    std::string file;
    int scan = 0;
    std::string name;
    std::string start_time;
    double temperature_C = none;
    // One per column of the command; NaN where the cell is empty, and in a
    // column of words.
    std::vector<double> values;
    std::string warning;
  };

  // The command's own columns, between temperature_C and warning.
  std::vector<std::string> columns;
  // Per column: true when every cell that is not empty holds a number and
  // one at least does, so that the column can be drawn.
  std::vector<bool> numeric;
  std::vector<row> rows;

  // Whether `text` starts with the header of a series table: the six
  // leading names, in order, at the start of its first line.
  static bool starts_like(std::string_view text);
  // Reads a whole table. False with `error` saying the line and the cause
  // when it cannot be one (a row of the wrong width, an index or scan that
  // is not a whole number, a temperature that is not a number, a quote left
  // open, no "warning" column at the end).
  static bool parse(std::string_view text, series_table& table, std::string& error);

  // The column of that name, or -1.
  int column_of(std::string_view name) const;
  // The columns that can be drawn, in the table's order.
  std::vector<std::string> drawable_columns() const;
  // Whether some row gives a temperature.
  bool has_temperatures() const;
};

// The unit of a series column, as its name says it: "Å" for the lengths
// and sizes, "°" for the widths and positions in 2θ, "" when the name does
// not tell. An uncertainty ("_u") has the unit of its figure.
std::string series_column_unit(std::string_view column);
// The caption of an axis that shows the column: "area_weighted_length (Å)",
// or the bare name without a unit.
std::string series_column_caption(std::string_view column);
