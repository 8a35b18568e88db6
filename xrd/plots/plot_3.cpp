#include "xrd/plots/plot_3.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/node_watch.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "template/process_strs_fns_3.h"
#include "xrd/measures/peak_measures.h"
#include "xrd/plots/button_pressed_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/measures/temp_line_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_4.h"

namespace {

constexpr const char* error_text = "Error";

struct plot_option {
  const char* word;
  std::uint32_t bit;
};
constexpr plot_option plot_options[] = {
    {"_no_capt", plot_3::no_capt},
    {"_no_manip_x", plot_3::no_manip_x},
    {"_no_manip_y", plot_3::no_manip_y},
    {"_not_for_xy_report", plot_3::not_for_xy_report},
};

void set_words(const char* text, my_flag& flags) {
  if (!text) return;
  const char* p = text;
  while (*p) {
    while (*p && is_separator(*p)) ++p;
    const char* start = p;
    while (*p && !is_separator(*p)) ++p;
    const std::size_t length = static_cast<std::size_t>(p - start);
    for (const plot_option& o : plot_options)
      if (length == std::strlen(o.word) && std::strncmp(start, o.word, length) == 0) flags.set(o.bit);
  }
}

}  // namespace

std::unique_ptr<assoc_class> plot_3::clone_empty() const { return clone_like(*this); }

void plot_3::configure() {
  plot_flags = my_flag();
  change_script.clear();
  const std::string name = class_name();
  // The option list may be one text or one word per record.
  if (assoc_class* options = query_object(("win_misc c plot_type_opts c " + name).c_str())) {
    for (int i = 0; i < options->child_count(); ++i) set_words(options->child(i)->class_name(), plot_flags);
  }
  if (const char* script = query_value(("win_misc c on_change_of_plot_obj c " + name).c_str())) change_script = script;
}

bool plot_3::shown_in(const plot_view& view) const { return (view.show_bits() & show_mask()) != 0; }

bool plot_3::update(plot_view& view) {
  set_view(&view);
  return false;
}

void plot_3::draw(plot_view& view, plot_surface& surface) {
  set_view(&view);
  temp_line_3* line = temp_line(false);
  if (!line) return;
  const double t = (view.show_bits() & show_bits::counts_per_second) ? count_time() : 1.0;
  surface.segment(line->x1, line->y1 / t, line->x2, line->y2 / t);
  delete_child(line);
}

assoc_class* plot_3::data_file() { return file_.get() ? file_.get() : self_or_ancestor_named("xdd"); }

void plot_3::bind_file(assoc_class* file) {
  // Everything found from the old file belongs to it.
  unlink(&yobs_);
  unlink(&time_);
  if (file)
    link(file, &file_);
  else
    unlink(&file_);
}

assoc_class* plot_3::file_member(ptr_class<assoc_class>& holder, const char* name) {
  if (!holder.get()) {
    assoc_class* file = data_file();
    if (assoc_class* n = file ? find(*file, name) : nullptr) link(n, &holder);
  }
  return holder.get();
}

xy_yobs_4* plot_3::observed() { return dynamic_cast<xy_yobs_4*>(file_member(yobs_, "xy_yobs")); }

double plot_3::count_time() {
  if (!time_.get()) {
    assoc_class* file = data_file();
    if (assoc_class* n = file ? find_existing(*file, "tBime") : nullptr) link(n, &time_);
  }
  const double t = time_.get() ? time_.get()->get_double() : 1.0;
  return t > 0.0 ? t : 1.0;
}

plot_3::drag_mode plot_3::choose_drag_mode() {
  if (!plot_flags.test(no_manip_y) && find_existing(*this, "mAanip_y")) return drag_mode::y;
  if (!plot_flags.test(no_manip_x) && find_existing(*this, "mAanip_x")) return drag_mode::x;
  if (!plot_flags.test(no_capt) && find_existing(*this, "cAapt")) return drag_mode::capture;
  return drag_mode::none;
}

void plot_3::redraw_file(assoc_class& file) {
  if (assoc_class* views = find(file, "invalidate_if_on")) views->execute_with(&file);
}

void plot_3::curve_changed() {
  // The script may delete this plot, and each recalculation another file.
  node_watch self(this);
  if (!change_script.empty()) run_process_text(*this, change_script.c_str());
  if (!self) return;
  assoc_class* file = data_file();
  std::vector<std::unique_ptr<node_watch>> tied;
  if (xy_yobs_4* yobs = observed()) {
    if (ptr_classes_4* list = yobs->tied_files())
      for (assoc_class* other : list->targets())
        if (other != file) tied.push_back(std::make_unique<node_watch>(other));
  }
  if (file) redraw_file(*file);
  for (const auto& w : tied) {
    if (!w->get()) continue;
    if (assoc_class* recalc = find(*w->get(), "for_recalcs_ref")) recalc->execute();
    if (w->get()) redraw_file(*w->get());
  }
}

void plot_3::x_extent(plot_view&, double&, double&) {}

void plot_3::y_extent(plot_view&, double, double, int, double&, double&) {}

bool plot_3::press(plot_view& view, button_pressed_3&) {
  set_view(&view);
  return false;
}

void plot_3::drag(plot_view&, const drag_motion&) {}

void plot_3::select_curve(xy_data_3* curve) {
  if (auto* old = dynamic_cast<xy_data_3*>(selected_.get())) {
    old->line_width = saved_width_;
    old->line_style = saved_style_;
  }
  unlink(&selected_);
  if (!curve) return;
  saved_width_ = curve->line_width;
  saved_style_ = curve->line_style;
  curve->line_width = 1;
  curve->line_style = static_cast<int>(curve_look::style::dot);
  link(curve, &selected_);
}

xy_data_3* plot_3::selected_curve() const { return dynamic_cast<xy_data_3*>(selected_.get()); }

void plot_3::mark_edited() {
  if (assoc_class* file = data_file()) file->set_changed(true);
  if (assoc_class* dirty = find(*this, "set_proj_dirty")) dirty->set_int(1);
}

temp_line_3* plot_3::temp_line(bool create) {
  auto* line = dynamic_cast<temp_line_3*>(find_child("temp_line"));
  if (!line && create) line = static_cast<temp_line_3*>(add_child(std::make_unique<temp_line_3>()));
  return line;
}

std::string plot_3::measure(const char* command) {
  reason_.clear();
  if (!command || !view_) {
    reason_ = "no view shows the curve";
    return error_text;
  }
  xy_data_3* curve = measured_curve();
  if (!curve || curve->y.count() == 0) {
    reason_ = "the curve has no points";
    return error_text;
  }
  const double xl = view_->x_left();
  const double xr = view_->x_right();
  peak_measures::result r;
  r.why = std::string("there is no measure named ") + command;
  std::string text;
  const bool per_second = (view_->show_bits() & show_bits::counts_per_second) != 0;
  if (std::strcmp(command, "FWHM") == 0) {
    r = peak_measures::fwhm(*curve, xl, xr);
    text = "FWHM = " + format_number("%-1.4f", r.value);
    unit_ = "°";
  } else if (std::strcmp(command, "Centroid") == 0) {
    // The view shows counts per second; the line is in the curve's counts.
    const double t = per_second ? count_time() : 1.0;
    r = peak_measures::centroid(*curve, xl, xr, view_->y_bottom() * t, view_->y_top() * t);
    text = "Centroid = " + format_number("%-1.4f", r.value);
    unit_ = "°";
  } else if (std::strcmp(command, "Area") == 0) {
    r = peak_measures::area(*curve, xl, xr);
    // In the units the view shows the counts in, as its unit says.
    if (per_second) r.value /= count_time();
    text = "Area = " + format_number("%-1.3f", r.value);
    unit_ = per_second ? " counts/s·°" : " counts·°";
  }
  if (!r.ok) {
    reason_ = r.why;
    return error_text;
  }
  if (r.has_line) {
    temp_line_3* line = temp_line(true);
    line->x1 = r.x1;
    line->y1 = r.y1;
    line->x2 = r.x2;
    line->y2 = r.y2;
  }
  return text;
}

std::string plot_3::measured_where() {
  std::string where;
  if (assoc_class* file = data_file())
    if (assoc_class* path = find_existing(*file, "xDdd_path_name"); path && path->get_text())
      where = std::filesystem::path(path->get_text()).filename().string();
  if (view_) {
    if (!where.empty()) where += ' ';
    where += format_number("%.2f", view_->x_left()) + "–" + format_number("%.2f", view_->x_right()) + "°";
  }
  return where;
}

assoc_class* plot_3::set_text(const char* text) {
  unit_.clear();
  result_ = measure(text);
  // The history dialog is made on the first result, so that no result is lost.
  // A measure that cannot be taken says why there, where the person looks.
  // Lines of several files and windows are told apart by the file and the
  // window they were measured in.
  const bool failed = result_ == error_text;
  std::string line = failed && !reason_.empty() ? result_ + ": " + reason_ : result_ + (failed ? "" : unit_);
  if (const std::string where = measured_where(); !where.empty()) line = where + ": " + line;
  if (assoc_class* history = find(*this, "history_dlg")) history->set_text(line.c_str());
  return this;
}
