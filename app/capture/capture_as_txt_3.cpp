#include "app/capture/capture_as_txt_3.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "app/platform/figure_file.h"
#include "app/views/TDrawView.h"
#include "app/views/view_line_9.h"
#include "app/views/view_recs_9.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/plots/plot_3.h"
#include "xrd/plots/plot_xy_3.h"

namespace {

constexpr std::size_t field_width = 13;
constexpr std::uint32_t report_flags = file_dialog_flags::path_must_exist | file_dialog_flags::hide_read_only |
                                       file_dialog_flags::overwrite_prompt;

// One curve of the report: its points first .. last (inclusive), of which
// `next` is the one the coming row writes.
struct column {
  xy_data_3* curve = nullptr;
  std::string file_name;
  std::string caption;
  int next = 0;
  int last = -1;
};

// Left-justified in 13 characters. A longer text is not cut, so that no
// digit or letter is lost, but keeps one blank before the next field, so
// that the fields can still be told apart.
void put_field(std::string& line, std::string_view text) {
  line.append(text);
  line.append(text.size() < field_width ? field_width - text.size() : 1, ' ');
}

// The columns' points as CSV (or, with a tab separator, as tab-separated
// text) under one header row, the numbers written as the fields layout
// writes them.
std::string separated_text(std::vector<column>& columns, int rows, char separator) {
  // A tab-separated cell cannot be quoted: a tab or line end in a name
  // becomes a blank.
  auto cell = [separator](std::string text) {
    if (separator == ',') return csv_cell(text);
    for (char& c : text)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
  };
  std::string text;
  text.reserve((static_cast<std::size_t>(rows) + 1) * (2 * columns.size() * 12 + 1));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) text += separator;
    const std::string& name = columns[i].file_name;
    text += cell(name + " x") + separator + cell(name + ' ' + columns[i].caption);
  }
  text += '\n';
  for (int row = 0; row < rows; ++row) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      column& c = columns[i];
      if (i > 0) text += separator;
      if (c.next > c.last) {
        text += separator;
        continue;
      }
      text += format_number("%-1.4f", c.curve->x_of(c.next)) + separator +
              format_number("%-1.4f", static_cast<double>(c.curve->y[c.next]));
      ++c.next;
    }
    text += '\n';
  }
  return text;
}

// Every curve the view shows that may be reported and has a point in the
// view's x range, file by file in the view's order, plot by plot in the
// line's order; a null `families` takes every plot.
std::vector<column> columns_of(TDrawView& view, const std::set<std::string>* families) {
  struct shown_plot {
    std::unique_ptr<node_watch> plot;
    std::string file_name;
  };
  std::vector<shown_plot> plots;
  for (view_line_9* line : view.lines()) {
    assoc_class* file = line->file();
    if (!file) continue;
    const char* name = file->get_text();
    for (plot_3* plot : line->plots()) plots.push_back({std::make_unique<node_watch>(plot), name ? name : ""});
  }
  // As painting does, the curves are brought up to date before any is read.
  for (const shown_plot& p : plots)
    if (auto* plot = dynamic_cast<plot_3*>(p.plot->get())) plot->update(view);
  std::vector<column> columns;
  for (const shown_plot& p : plots) {
    auto* plot = dynamic_cast<plot_xy_3*>(p.plot->get());
    if (!plot || plot->plot_flags.test(plot_3::not_for_xy_report) || !plot->shown_in(view)) continue;
    if (families && !families->count(plot->class_name())) continue;
    xy_data_3* xy = plot->curve();
    column c;
    if (!xy || xy->y.count() == 0 || xy->index_range_widened(view.x1, view.x2, c.next, c.last) == 0) continue;
    c.curve = xy;
    c.file_name = p.file_name;
    c.caption = plot->caption();
    columns.push_back(std::move(c));
  }
  return columns;
}

}  // namespace

std::string capture_as_txt_3::report_text(TDrawView& view) { return report_for(view, nullptr); }

std::string capture_as_txt_3::report_text(TDrawView& view, const std::set<std::string>& families) {
  return report_for(view, &families);
}

std::string capture_as_txt_3::report_csv(TDrawView& view, const std::set<std::string>& families) {
  return report_for(view, &families, true);
}

std::string capture_as_txt_3::report_tsv(TDrawView& view) { return report_for(view, nullptr, false, true); }

std::string capture_as_txt_3::report_for(TDrawView& view, const std::set<std::string>* families, bool csv,
                                         bool tsv) {
  std::vector<column> columns = columns_of(view, families);
  if (columns.empty()) return {};
  int rows = 0;
  for (const column& c : columns) rows = std::max(rows, c.last - c.next + 1);
  if (csv) return separated_text(columns, rows, ',');
  if (tsv) return separated_text(columns, rows, '\t');

  std::string text;
  // Most fields are as wide as the field width: the text grows once, not
  // by doubling (a report of a long scan runs to megabytes).
  text.reserve((static_cast<std::size_t>(rows) + 2) * (2 * columns.size() * (field_width + 1) + 1));
  for (const column& c : columns) {
    put_field(text, c.file_name);
    put_field(text, "");
  }
  text += '\n';
  for (const column& c : columns) {
    put_field(text, "x");
    put_field(text, c.caption);
  }
  text += '\n';
  for (int row = 0; row < rows; ++row) {
    for (column& c : columns) {
      if (c.next > c.last) {
        put_field(text, "");
        put_field(text, "");
        continue;
      }
      put_field(text, format_number("%-1.4f", c.curve->x_of(c.next)));
      put_field(text, format_number("%-1.4f", static_cast<double>(c.curve->y[c.next])));
      ++c.next;
    }
    text += '\n';
  }
  return text;
}

// A temporary file beside `path` is renamed into place, so that a failure
// leaves neither a partial report nor a changed old file.
bool capture_as_txt_3::write_text(const std::string& path, const std::string& text, std::string& why) {
  return write_file_replacing(path, text, why);
}

bool capture_as_txt_3::write_text_or_report(const std::string& path, const std::string& text,
                                            const assoc_class* reporter) {
  std::string why;
  if (write_text(path, text, why)) return true;
  global_error_message().append(why.c_str());
  show_error(reporter);
  return false;
}

bool capture_as_txt_3::write_report(TDrawView& view, const std::string& path) {
  const std::string text = report_text(view);
  return !text.empty() && write_text_or_report(path, text, &view);
}

assoc_class* capture_as_txt_3::execute() {
  view_recs_9* views = view_list(*this);
  TDrawView* view = views ? views->focused() : nullptr;
  if (!view) return nullptr;
  const std::string text = report_text(*view);
  if (text.empty()) return nullptr;
  if (!dialog_.run_dialog(report_flags, "*.TXT", "", "TXT", this, platform_types::window_ref::main_window(),
                          "Save Report as", true) ||
      dialog_.chosen_paths().empty())
    return nullptr;
  const std::string chosen = dialog_.chosen_paths().front();
  if (!write_text_or_report(chosen, text, this)) return nullptr;
  path_ = chosen;
  return assoc_class::execute();
}
