#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/curve_family.h"
#include "xrd/files/series_table.h"

class figure_layout;
struct view_look;

// The "series" family of the workbench's graphs: one column of a series
// table (a result of many scans) against the scan index, or against the
// scans' temperatures when the table gives them. The points are joined in
// the table's order; a row whose cell is empty (a failed scan, a figure not
// given) or, against temperature, without a temperature is left out and
// breaks the line there. A column with an uncertainty beside it ("x" and
// "x_u") draws it as a bar of ± that much.
class series_plot {
 public:
  // `path` names the table in the legend, the title and the hints.
  series_plot(std::string path, series_table table);

  const std::string& path() const { return path_; }
  // The file name part of the path.
  std::string table_name() const;
  const series_table& table() const { return table_; }

  // The column drawn: at the start the first that can be drawn and is no
  // uncertainty.
  const std::string& column() const { return column_; }
  // False (nothing changed) for a column that is not in the table or holds
  // no figures.
  bool choose_column(const std::string& column);
  bool against_temperature() const { return against_temperature_; }
  // False (nothing changed) when asked for temperatures the table lacks.
  bool choose_temperature(bool against_temperature);

  struct point {
    double x = 0.0, y = 0.0;
    double u = series_table::none;  // the bar's half height; NaN: none
    int row = 0;                    // in the table, from 0
  };
  // The points drawn, in runs: a row left out ends a run.
  std::vector<std::vector<point>> runs() const;
  struct left_out {
    int index = 0;  // the row's scan index
    std::string why;
  };
  // The rows left out, each with the reason: its warning, or what it lacks.
  std::vector<left_out> rows_left_out() const;

  std::string x_caption() const;  // "scan index" or "temperature_C (°C)"
  std::string y_caption() const;  // "area_weighted_length (Å)"
  // "series.csv: area_weighted_length", in the file colour, solid.
  legend_entry legend() const;
  // What the status bar says of it: the table, the column, how many rows
  // are drawn and which were left out, and why.
  std::string hint() const;

  // Draws the graph over all of `s` in the look of the graph views: the
  // background, axes with ticks, numbers and captions, the legend right of
  // the plot. A table with nothing to draw says so in the plot.
  void draw(platform_types::surface& s, const view_look& look) const;

  // The colour of the curve: the first file colour of the views.
  static constexpr platform_types::colour colour{255, 255, 0};

 private:
  int uncertainty_column() const;
  void draw_legend(platform_types::surface& s, const view_look& look, const figure_layout& layout) const;

  std::string path_;
  series_table table_;
  std::string column_;
  bool against_temperature_ = false;
};
