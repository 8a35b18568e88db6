#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/report/inp_data_id_lb_3.h"
#include "core/assoc_class.h"

class inp_tem_rec_3;
class node_watch;

// Control ids of the report editor's window.
namespace report_control {
inline constexpr int templates = 4160;
inline constexpr int options = 4221;
inline constexpr int options_title = 4222;
inline constexpr int edit_line = 4223;
inline constexpr int apply_label = 4224;
inline constexpr int help = 4225;
inline constexpr int first_column = 4300;  // list, title, list, title, ...
}  // namespace report_control

// Commands of a column's popup menu.
namespace report_command {
inline constexpr int hide_column = 4226;
inline constexpr int show_column = 4227;
inline constexpr int delete_items = 4228;
inline constexpr int hide_lines = 4229;
}  // namespace report_command

// The report editor (node "input_vw"): an MDI child that shows, for every
// object a report template finds (every loaded file, every tail of every
// file...), one row of columns, its identity and its fields. Selected cells
// take the value of the edit line, as if typed into each field; the visible
// columns become a "TXT Report" document.
//
// Where things come from, all in the outside records: "input_vw" holds
// "search_from" (the node below which rows are searched), "template" (the
// top-level template whose entries are the reports) and "reports" (the
// outside-records query of the report definitions). Each entry E of the
// template is configured from the definition "<reports> c E": "title",
// "hlp", "data" (words: _get_name N, _creation_name N, _filter N,
// _create_if_not_there, _marker), and the columns "id_lbs" (identity, shown
// only), "data_lbs" (fields) and "_hidden_ids" (identity columns left out).
// A column record's name is the field it shows; its value is its
// description (see lb_tem_3).
class input_vw_3 : public assoc_class, public platform_types::frame_events, public platform_types::dialog_events {
 public:
  input_vw_3();
  ~input_vw_3() override;
  const char* class_name() const override { return "input_vw"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // Opens the editor (or brings the open one to the front).
  assoc_class* execute() override;

  // The report entries, configured from the outside records.
  std::vector<inp_tem_rec_3*> entries();
  // Shows the entry's rows and columns; false for a marker entry.
  bool choose(int entry);
  int chosen() const { return chosen_; }
  // The edit line's text to the selected cells of the first editable column
  // with a selection. How many rows took the value.
  int apply_edit();
  // Brings an open editor up to what the tree holds after a change made
  // elsewhere (a menu command, a drag in a view, a load): a cell whose value
  // changed shows its new text; rows that went, or files that came, show
  // the report again.
  void refresh();
  // Leaves the selected rows out of the editor (and so of the report).
  void hide_selected_lines();
  void set_column_hidden(std::size_t column, bool hidden);
  // The text of the visible columns: a title line, then one line per row;
  // every cell is followed by one blank.
  std::string report_text() const;
  // Makes the "TXT Report" document of report_text(); its view node.
  assoc_class* create_report();

  const std::vector<std::unique_ptr<inp_data_id_lb_3>>& columns() const { return columns_; }
  int row_count() const { return static_cast<int>(rows_.size()); }
  assoc_class* row(int r) const;
  platform::frame_id frame() const { return frame_; }
  platform::dialog_id form() const { return form_; }

  // --- frame_events ---
  void on_activate(bool active) override;
  bool on_close() override;
  // --- dialog_events ---
  void on_list_select(int control) override;
  void on_list_double_click(int control) override;
  void on_list_scroll(int control) override;
  void on_list_context(int control) override;
  void on_edit_enter(int control) override;
  void on_control_click(int control) override;

 private:
  // Runs "inp_edit_return_pressed", which applies the edit line.
  void press_apply();
  void configure(inp_tem_rec_3& entry);
  void clear_columns();
  void add_column(const lb_tem_3& definition, bool identity);
  void fill_column(inp_data_id_lb_3& column);
  void lay_out();
  inp_data_id_lb_3* column_of(int control);
  std::string outside(const char* name) const;
  int loaded_file_count();

  platform::frame_id frame_ = 0;
  platform::dialog_id form_ = 0;
  int chosen_ = -1;
  std::vector<std::unique_ptr<node_watch>> rows_;
  std::vector<std::unique_ptr<inp_data_id_lb_3>> columns_;
  bool building_ = false;
  int files_shown_ = -1;  // loaded files when the rows were found
};
