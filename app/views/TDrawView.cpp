#include "app/views/TDrawView.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "app/platform/edit_recorder.h"
#include "app/views/color_3.h"
#include "app/views/colors_3.h"
#include "app/views/drvw_bit_map_3.h"
#include "app/views/drvw_lam_cursor_3.h"
#include "app/views/figure_export.h"
#include "app/views/figure_layout.h"
#include "app/views/limits_follower.h"
#include "app/views/plot_area_surface.h"
#include "app/views/view_hooks.h"
#include "app/views/view_line_9.h"
#include "app/views/view_look.h"
#include "app/views/view_recs_9.h"
#include "app/views/view_surface.h"
#include "app/views/xdd_child.h"
#include "core/deletion_bin.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "xrd/plots/button_pressed_3.h"

namespace {

using platform_types::colour;
using platform_types::mouse_action;
using platform_types::mouse_button;

constexpr colour light_cyan{0, 255, 255};
// The box of a Ctrl drag: grey shows on a dark and a light background.
constexpr colour zoom_box_grey{160, 160, 160};
// Zooming out stops before the mapping loses every digit of the data.
constexpr double largest_range = 1.0e30;
// The y fixes that follow the data: a y zoom by hand ends them.
constexpr std::uint32_t y_fixes =
    view_bits::fix_y1_at_min | view_bits::fix_y2_at_max | view_bits::fix_y1_at_zero;
// Show all starts from an empty box that every curve widens.
constexpr double empty_low = 3.37e34;
constexpr double empty_high = -3.37e34;
// The hit tolerance of a press, in pixels.
constexpr int hit_pixels = 4;
constexpr char escape_key = 27;

// A pixel moved onto [low, high]; a plot too small to hold one keeps low.
int within(int v, int low, int high) { return std::max(low, std::min(v, high)); }
// Below this many pixels each way a plot inside axes would show little:
// the whole window is the plot then.
constexpr int smallest_plot = 40;

// Watched copies of the lines and of their plots: a press or a paint runs
// scripts that may take either away.
struct watched_plots {
  std::vector<std::unique_ptr<node_watch>> plots;
  std::vector<assoc_class*> files;  // the file of each plot's line
};

watched_plots watch_plots(TDrawView& view) {
  watched_plots out;
  for (view_line_9* line : view.lines())
    for (plot_3* p : line->plots()) {
      out.plots.push_back(std::make_unique<node_watch>(p));
      out.files.push_back(line->file());
    }
  return out;
}

}  // namespace

TDrawView::TDrawView() = default;

TDrawView::~TDrawView() {
  // Handlers of other views run while the frame goes (one of them becomes
  // the active child); they must not count this view among the open ones.
  flags().set(node_bits::being_deleted);
  if (platform* p = current_platform()) {
    if (drag_target_.get() || box_.active) p->release_mouse();
    if (frame_) p->destroy_frame(std::exchange(frame_, 0));
  }
}

std::unique_ptr<assoc_class> TDrawView::clone_empty() const { return clone_like(*this); }

view_recs_9* TDrawView::recs() { return dynamic_cast<view_recs_9*>(parent()); }

// --- window ---

bool TDrawView::open_window() {
  platform* p = current_platform();
  if (!p) return false;
  child_ = std::make_unique<xdd_child>(*this);
  const platform::frame_id f = p->create_frame("", child_.get());
  if (!f) {
    child_.reset();
    return false;
  }
  frame_ = f;
  if (view_recs_9* r = recs()) display_flags = r->display_flags;
  setup_window();
  ignore_next_press = true;
  if (assoc_class* bar = find(*this, "controlbar")) bar->execute();
  fit_plot_area(p->frame_width(f), p->frame_height(f));
  recompute_scale();
  apply_cursor();
  set_title();
  return true;
}

platform_types::window_ref TDrawView::held_window() const {
  return frame_ ? platform_types::window_ref::frame(frame_) : platform_types::window_ref::main_window();
}

void TDrawView::frame_closed() {
  if (drag_target_.get()) release();
  if (box_.active) cancel_box();
  // The platform destroys the frame once this handler returns.
  frame_ = 0;
  if (view_recs_9* r = recs(); r && r->focused() == this) r->set_focused(nullptr);
  move_to_deletion_bin(*this);
}

void TDrawView::close_window() {
  if (drag_target_.get()) release();
  if (box_.active) cancel_box();
  if (view_recs_9* r = recs(); r && r->focused() == this) r->set_focused(nullptr);
  if (platform* p = current_platform(); p && frame_) p->destroy_frame(std::exchange(frame_, 0));
  move_to_deletion_bin(*this);
}

bool TDrawView::has_focus() {
  view_recs_9* r = recs();
  return r && r->focused() == this;
}

void TDrawView::take_focus() {
  view_recs_9* r = recs();
  if (!r || in_teardown(*this)) return;
  r->set_focused(this);
  if (assoc_class* ref = find_existing(*r, "vw_with_focus")) ref->execute();
  refresh_axes_dialog();
  push_limits();
}

void TDrawView::redraw() {
  if (!painting_) invalidate_all();
}

void TDrawView::invalidate_all() {
  paint_mode = 0;
  if (platform* p = current_platform(); p && frame_) p->invalidate_frame(frame_);
}

// --- limits ---

void TDrawView::set_x1(double x) {
  x1 = x;
  push_limits();
}

void TDrawView::set_x2(double x) {
  x2 = x;
  push_limits();
}

void TDrawView::set_y1(double y) {
  y1 = y;
  push_limits();
}

void TDrawView::set_y2(double y) {
  y2 = y;
  push_limits();
}

void TDrawView::push_limits() {
  if (const auto& show = installed_view_hooks().show_limits) show(*this, x1, x2, y1, y2);
  refresh_axes_dialog();
}

void TDrawView::refresh_axes_dialog() {
  if (auto* axes = dynamic_cast<limits_follower*>(find_existing(*this, "axes_dlg"))) axes->refresh();
}

bool TDrawView::curve_extent(double from, double to, double& xlo, double& xhi, double& ylo, double& yhi) {
  xlo = empty_low, xhi = empty_high, ylo = empty_low, yhi = empty_high;
  watched_plots all = watch_plots(*this);
  for (auto& w : all.plots) {
    auto* p = dynamic_cast<plot_3*>(w->get());
    if (!p) continue;
    // The curves of the families shown must exist before they are measured.
    painting_ = true;
    p->update(*this);
    painting_ = false;
    if (!w->get()) continue;
    p->x_extent(*this, xlo, xhi);
    p->y_extent(*this, from, to, 0x3, ylo, yhi);
  }
  return xlo <= xhi;
}

bool TDrawView::keep_x_window(double from, double to) {
  double xlo = 0.0, xhi = 0.0, ylo = 0.0, yhi = 0.0;
  if (!curve_extent(from, to, xlo, xhi, ylo, yhi) || from < xlo || to > xhi || !(ylo <= yhi)) return false;
  x1 = from;
  x2 = to;
  y1 = ylo;
  y2 = yhi;
  recompute_scale();
  push_limits();
  invalidate_all();
  return true;
}

void TDrawView::show_all() {
  double xlo = 0.0, xhi = 0.0, ylo = 0.0, yhi = 0.0;
  curve_extent(-empty_low, empty_low, xlo, xhi, ylo, yhi);
  // With nothing shown the limits stay as they were.
  if (xlo <= xhi) {
    x1 = xlo;
    x2 = xhi;
  }
  if (ylo <= yhi) {
    y1 = ylo;
    y2 = yhi;
  }
  recompute_scale();
  push_limits();
  invalidate_all();
}

bool TDrawView::data_y_min(double& y) {
  double lo = empty_low, hi = empty_high;
  for (view_line_9* line : lines())
    for (plot_3* p : line->plots()) p->y_extent(*this, x1, x2, 0x1, lo, hi);
  if (lo == empty_low) return false;
  y = lo;
  return true;
}

bool TDrawView::data_y_max(double& y) {
  double lo = empty_low, hi = empty_high;
  for (view_line_9* line : lines())
    for (plot_3* p : line->plots()) p->y_extent(*this, x1, x2, 0x2, lo, hi);
  if (hi == empty_high) return false;
  y = hi;
  return true;
}

// --- lines ---

assoc_class* TDrawView::line_list() { return child_or_create("vCiew_lines"); }

std::vector<view_line_9*> TDrawView::lines() {
  std::vector<view_line_9*> out;
  assoc_class* list = find_child("vCiew_lines");
  if (!list) return out;
  for (int i = 0; i < list->child_count(); ++i)
    if (auto* line = dynamic_cast<view_line_9*>(list->child(i))) out.push_back(line);
  return out;
}

std::vector<assoc_class*> TDrawView::files() {
  std::vector<assoc_class*> out;
  for (view_line_9* line : lines())
    if (line->file()) out.push_back(line->file());
  return out;
}

view_line_9* TDrawView::line_of(assoc_class* file) {
  for (view_line_9* line : lines())
    if (file && line->file() == file) return line;
  return nullptr;
}

view_line_9* TDrawView::add_file(assoc_class* file) {
  assoc_class* list = line_list();
  if (!file || !list) return nullptr;
  auto* line = dynamic_cast<view_line_9*>(list->create_child_by_name("view_line"));
  if (!line) line = dynamic_cast<view_line_9*>(list->add_child(std::make_unique<view_line_9>()));
  if (!line) return nullptr;
  line->bind(file);
  set_title();
  return line;
}

void TDrawView::line_unloaded() {
  if (in_teardown(*this)) return;
  if (lines().empty())
    close_window();
  else
    lines_changed();
}

void TDrawView::delete_line(view_line_9* line) {
  if (!line || !line->parent()) return;
  line->parent()->delete_child(line);
  set_title();
}

void TDrawView::delete_all_lines() {
  for (view_line_9* line : lines()) delete_line(line);
}

void TDrawView::lines_changed() {
  set_title();
  if (assoc_class* buttons = find(*this, "dis_buttons")) buttons->execute();
  invalidate_all();
}

// --- title ---

std::string TDrawView::title_suffix() const {
  return display_flags.test(view_bits::counts_per_second) ? " : Cnts/sec" : "";
}

void TDrawView::set_title() {
  const std::vector<view_line_9*> all = lines();
  std::string text;
  if (!all.empty() && all.front()->file()) {
    const char* name = all.front()->file()->get_text();
    text = name ? name : "";
  }
  if (all.size() > 1) text += " ...";
  text += title_suffix();
  title_ = text;
  if (platform* p = current_platform(); p && frame_) p->set_frame_title(frame_, title_);
}

// --- painting ---

bool TDrawView::lambda_cursor_on() {
  auto* cursor = dynamic_cast<drvw_lam_cursor_3*>(find_existing(*this, "drvw_lam_cursor"));
  assoc_class* on = find_existing(*this, "sBhow_lam_curcor");
  return cursor && on && on->get_int() != 0 && cursor->valid();
}

void TDrawView::paint(platform_types::surface& target) {
  platform* p = current_platform();
  if (!p || in_teardown(*this)) return;
  if (view_recs_9* r = recs()) {
    TDrawView* zoomed = r->maximised_view();
    if (zoomed && zoomed != this) return;
  }
  if (frame_ && p->frame_minimised(frame_)) return;
  // Markers left by editing are drawn once.
  if (!delete_child_named("fAst_edinvw")) delete_child_named("edinvw");

  const int w = target.width();
  const int h = target.height();
  const platform::picture_id picture = p->create_picture(w, h);
  platform_types::surface* s = p->picture_surface(picture);
  if (!s) {
    p->destroy_picture(picture);
    return;
  }
  // A numerical stage may give up by throwing (numeric_abort) while the
  // curves are brought up to date: the picture goes, and the view is no
  // longer painting, however the painting ends.
  struct picture_guard {
    TDrawView& v;
    platform& p;
    platform::picture_id picture;
    ~picture_guard() {
      v.painting_ = false;
      p.destroy_picture(picture);
    }
  } guard{*this, *p, picture};
  const bool lambda = lambda_cursor_on();
  auto* cache = dynamic_cast<drvw_bit_map_3*>(find(*this, "drvw_bit_map"));
  if (lambda && paint_mode == 2 && cache && cache->holds(this, w, h)) {
    p->copy_picture_into(cache->picture(), picture);
  } else {
    const view_look& look = view_look::current();
    s->set_fill(look.background());
    s->fill_rect(0, 0, w + 1, h + 1);
    // The axes' numbers are those of the limits the curves are drawn in.
    if (!lines().empty()) update_curves();
    const std::unique_ptr<axes_layout> axes = lay_out_axes(*s, w, h);
    drawn_.clear();
    if (!lines().empty()) {
      plot_area_surface plot(*s, left, top, right, bottom, look);
      paint_curves(plot);
    }
    if (axes) draw_axes(*s, *axes);
    if (look.legend) draw_legend(*s);
    if (lambda && cache) {
      if (lines().empty())
        cache->release();
      else
        cache->keep(*p, this, w, h, picture);
    }
  }
  if (paint_mode == 2) {
    plot_area_surface plot(*s, left, top, right, bottom, view_look::current());
    draw_lambda_cursor(plot);
  }
  if (box_.active) draw_zoom_box(*s);
  paint_mode = 1;
  p->paint_picture(picture, target);
}

void TDrawView::update_curves() {
  const bool was_painting = std::exchange(painting_, true);
  {
    watched_plots all = watch_plots(*this);
    for (auto& w : all.plots)
      if (auto* plot = dynamic_cast<plot_3*>(w->get())) plot->update(*this);
  }
  apply_y_fixes();
  recompute_scale();
  painting_ = was_painting;
}

void TDrawView::draw_curves(platform_types::surface& s, int width, int height) {
  drawn_.clear();
  if (lines().empty()) return;
  // The window's mapping comes back however the drawing ends (a numerical
  // stage may give up by throwing).
  struct restore {
    TDrawView& v;
    int l, t, r, b;
    ~restore() {
      v.painting_ = false;
      v.set_plot_area(l, t, r, b);
      v.recompute_scale();
    }
  } keep{*this, left, top, right, bottom};
  set_pixels(width, height);
  paint_curves(s, false);
}

void TDrawView::fit_plot_area(int width, int height) {
  set_pixels(width, height);
  if (!view_look::current().axes) std::fill(std::begin(margins_), std::end(margins_), 0);
  set_plot_area(margins_[0], margins_[1], right - margins_[2], bottom - margins_[3]);
}

void TDrawView::look_changed(assoc_class& from) {
  view_recs_9* r = view_list(from);
  if (!r) return;
  platform* p = current_platform();
  for (TDrawView* v : r->views()) {
    if (p && v->frame()) v->fit_plot_area(p->frame_width(v->frame()), p->frame_height(v->frame()));
    v->recompute_scale();
    v->invalidate_all();
  }
}

struct TDrawView::axes_layout {
  figure_layout layout;
  axis_ticks x, y;
  axes_layout(const platform_types::surface& s) : layout(s, 1.0, false) {}
};

std::unique_ptr<TDrawView::axes_layout> TDrawView::lay_out_axes(platform_types::surface& s, int width, int height) {
  set_pixels(width, height);
  std::fill(std::begin(margins_), std::end(margins_), 0);
  std::unique_ptr<axes_layout> axes;
  if (view_look::current().axes) {
    axes = std::make_unique<axes_layout>(s);
    figure_layout& l = axes->layout;
    axes->y = l.y_ticks(y1, y2);
    l.make_room_left(axes->y);
    std::vector<std::string> no_legend;  // the screen's legend stands inside the plot
    l.make_room_right(no_legend);
    if (l.plot_w >= smallest_plot && l.plot_h >= smallest_plot) {
      axes->x = l.x_ticks(x1, x2);
      margins_[0] = l.left;
      margins_[1] = l.top;
      margins_[2] = width - (l.left + l.plot_w);
      margins_[3] = height - (l.top + l.plot_h);
    } else {
      axes.reset();
    }
  }
  fit_plot_area(width, height);
  recompute_scale();
  return axes;
}

void TDrawView::draw_axes(platform_types::surface& s, const axes_layout& axes) {
  figure_layout layout = axes.layout;
  layout.ink_colour = view_look::current().ink();
  figure_export captions(*this);
  layout.draw_axes(
      s, axes.x, [this](double x) { return x_pixel(x); }, axes.y, [this](double y) { return y_pixel(y); },
      captions.x_caption(), captions.y_caption());
}

void TDrawView::draw_legend(platform_types::surface& s) {
  if (drawn_.empty()) return;
  const view_look& look = view_look::current();
  figure_layout layout(s, 1.0, false);
  layout.ink_colour = look.ink();
  // Long names give way to the curves beyond three fifths of the plot: a
  // tiled view is narrow, and a name cut short tells the files apart less.
  const int room = std::max((right - left) * 3 / 5 - 4 * layout.gap - layout.swatch, layout.font);
  const int box_top = top + layout.gap;
  const int rows = layout.legend_rows(box_top, bottom - layout.gap, static_cast<int>(drawn_.size()));
  // Only the names of the rows that fit are measured.
  std::vector<std::string> names;
  int widest = 0;
  for (int i = 0; i < rows; ++i) {
    names.push_back(shortened(s, drawn_[static_cast<std::size_t>(i)].name, layout.font, room));
    widest = std::max(widest, s.text_width(names.back(), layout.font));
  }
  const int box_w = layout.gap + layout.swatch + layout.gap + widest + layout.gap;
  const int box_left = right - layout.gap - box_w;
  if (rows == 0 || box_left <= left) return;
  const int box_bottom = box_top + layout.font + (rows - 1) * layout.legend_row_height() + layout.gap;
  // On a box of the background, so that the curves under it do not hide it.
  s.set_fill(look.background());
  s.fill_rect(box_left, box_top - layout.gap / 2, box_left + box_w, box_bottom);
  s.set_pen(look.ink(), 1, platform_types::pen_style::solid);
  s.rectangle(box_left, box_top - layout.gap / 2, box_left + box_w, box_bottom);
  layout.draw_legend(s, box_left + layout.gap, box_top, box_bottom, drawn_, names,
                     [&look](platform_types::colour c) { return look.on_background(c); });
}

void TDrawView::paint_curves(platform_types::surface& s, bool with_markers) {
  painting_ = true;
  // The curves of the families shown are brought up to date first, so that
  // the y limits that follow the data see current data.
  update_curves();
  watched_plots all = watch_plots(*this);
  view_surface curves(*this, s, pen_box_size());
  colors_3* slots = colour_slots(*this);
  for (std::size_t i = 0; i < all.plots.size(); ++i) {
    auto* plot = dynamic_cast<plot_3*>(all.plots[i]->get());
    if (!plot) continue;
    if (!with_markers && plot->plot_flags.test(plot_3::no_capt) && plot->plot_flags.test(plot_3::not_for_xy_report))
      continue;
    const colour c = slots ? slots->colour_of(all.files[i]) : colors_3::no_slot;
    curves.set_colour(c);
    const curve_family* family = curve_family::of(plot->class_name());
    curves.set_family_style(family ? family->style : platform_types::pen_style::solid);
    curves.take_drawn();
    // Markers follow the y range, which may just have changed.
    plot->update(*this);
    if (!all.plots[i]->get()) continue;
    plot->draw(*this, curves);
    if (family && curves.take_drawn()) {
      const char* name = all.files[i] ? all.files[i]->get_text() : nullptr;
      const std::string file = name ? std::filesystem::path(name).filename().string() : "";
      drawn_.push_back({file + " " + family->name, c, family->style});
    }
  }
  curves.set_family_style(platform_types::pen_style::solid);
  for (const auto& overlay : installed_view_hooks().plots) {
    if (!display_flags.test(overlay->show_mask())) continue;
    curves.set_colour(colors_3::no_slot);
    curves.take_drawn();
    overlay->draw(*this, curves);
    if (curves.take_drawn() && !overlay->legend_name(*this).empty())
      drawn_.push_back({overlay->legend_name(*this), colors_3::no_slot, overlay->legend_style()});
  }
  if (y1 <= 0.0 && 0.0 <= y2) {
    s.set_pen(light_cyan, 1, platform_types::pen_style::dot);
    const int y0 = y_pixel(0.0);
    s.line(left, y0, right + 1, y0);
  }
  painting_ = false;
}

void TDrawView::apply_y_fixes() {
  const double old1 = y1, old2 = y2;
  if (display_flags.test(view_bits::fix_y1_at_zero)) y1 = 0.0;
  double y = 0.0;
  if (display_flags.test(view_bits::fix_y1_at_min) && data_y_min(y)) y1 = y;
  if (display_flags.test(view_bits::fix_y2_at_max) && data_y_max(y)) y2 = y;
  if (y1 != old1 || y2 != old2) push_limits();
}

void TDrawView::draw_lambda_cursor(platform_types::surface& s) {
  auto* cursor = dynamic_cast<drvw_lam_cursor_3*>(find_existing(*this, "drvw_lam_cursor"));
  const lam_9* set = cursor ? cursor->wavelengths() : nullptr;
  if (!set || set->components.empty() || !(set->reference_intensity != 0.0)) return;
  const double two_theta = x_world(mouse_x);
  if (two_theta < 0.01 || two_theta > 179.99) return;
  const double d = set->reference_wavelength / std::sin(two_theta * M_PI / 360.0);
  s.set_pen(light_cyan, 2, platform_types::pen_style::solid);
  for (const lam_9::component& c : set->components) {
    const double r = c.wavelength / d;
    if (r < -1.0 || r > 1.0) continue;
    const int px = x_pixel(std::asin(r) * 114.59155902616465);
    s.line(px, bottom, px, y_pixel(y1 + c.intensity * (y_range / set->reference_intensity)));
  }
}

// --- mouse ---

void TDrawView::mouse(const platform_types::mouse_event& e) {
  switch (e.action) {
    case mouse_action::press:
    case mouse_action::double_click:
      end_zoom_run();
      // A right press takes back the box being drawn, and does nothing else.
      if (box_.active) {
        if (e.button == mouse_button::right) cancel_box();
        return;
      }
      if (e.button == mouse_button::left) {
        if (e.ctrl)
          start_box(e);
        else
          press(e, false);
      } else if (e.button == mouse_button::right) {
        delete_child_named("edinvw");
        if (has_focus()) press(e, true);
        ignore_next_press = false;
      }
      return;
    case mouse_action::release:
      if (box_.active)
        finish_box();
      else
        release();
      return;
    case mouse_action::move:
      if (box_.active)
        stretch_box(e);
      else
        move(e);
      return;
    case mouse_action::wheel:
      turn_wheel(e);
      return;
  }
}

void TDrawView::press(const platform_types::mouse_event& e, bool right) {
  node_watch self(this);
  delete_child_named("edinvw");
  if (right || !ignore_next_press) {
    mouse_x = e.x;
    mouse_y = e.y;
    button_state = right ? 2 : 1;
    dispatch_press(right);
    if (!self) return;
    recompute_scale();
    show_cursor_position();
  }
  if (right) return;
  // The click that activates another view must not act there.
  if (view_recs_9* r = recs())
    for (TDrawView* v : r->views()) v->ignore_next_press = true;
  ignore_next_press = false;
}

void TDrawView::dispatch_press(bool right) {
  node_watch self(this);
  auto* pressed = static_cast<button_pressed_3*>(add_child(std::make_unique<button_pressed_3>()));
  node_watch pressed_alive(pressed);
  pressed->pixel_x = mouse_x;
  pressed->pixel_y = mouse_y;
  pressed->world_x = world_x = x_world(mouse_x);
  pressed->world_y = world_y = y_world(mouse_y);
  pressed->tolerance_x = x_distance(hit_pixels);
  pressed->tolerance_y = y_distance(hit_pixels);
  pressed->right = right;
  bool taken = false;
  {
    watched_plots all = watch_plots(*this);
    for (auto& w : all.plots) {
      auto* plot = dynamic_cast<plot_3*>(w->get());
      if (plot && pressed_alive && plot->press(*this, *pressed)) {
        taken = true;
        break;
      }
    }
  }
  if (!self) return;
  if (!taken && pressed_alive) {
    if (!pressed->has_candidates()) {
      auto* catcher = dynamic_cast<left_right_pressed_3*>(child_or_create("left_right_pressed"));
      if (!catcher)
        catcher = static_cast<left_right_pressed_3*>(add_child(std::make_unique<left_right_pressed_3>()));
      catcher->press(*this, *this, right, world_x);
    } else if (plot_3* plot = pressed->chosen_plot()) {
      plot->select_curve(pressed->chosen_curve());
      link(plot, &drag_target_);
      drag_mode_ = plot->choose_drag_mode();
      drag_previous_x_ = mouse_x;
      drag_previous_y_ = mouse_y;
      drag_anchor_x_ = world_x;
      if (platform* p = current_platform(); p && frame_) p->capture_mouse(frame_);
      invalidate_all();
    }
  }
  if (pressed_alive) delete_child(pressed_alive.get());
}

void TDrawView::move(const platform_types::mouse_event& e) {
  if (!has_focus()) return;
  mouse_x = e.x;
  mouse_y = e.y;
  world_x = x_world(mouse_x);
  world_y = y_world(mouse_y);
  show_cursor_position();
  ignore_next_press = false;
  if (auto* plot = dynamic_cast<plot_3*>(drag_target_.get())) {
    plot_3::drag_motion m;
    m.mode = drag_mode_;
    m.dx_pixels = e.x - drag_previous_x_;
    m.dx = x_distance(e.x - drag_previous_x_);
    m.dy = y_distance(drag_previous_y_ - e.y);
    m.world_x = world_x;
    m.world_y = world_y;
    m.previous_world_y = y_world(drag_previous_y_);
    m.anchor_x = drag_anchor_x_;
    m.scale = e.shift;
    drag_previous_x_ = e.x;
    drag_previous_y_ = e.y;
    plot->drag(*this, m);
    return;
  }
  if (lambda_cursor_on() && !find_child("edinvw")) {
    paint_mode = std::min(paint_mode + 1, 2);
    if (platform* p = current_platform(); p && frame_) p->invalidate_frame(frame_);
  }
}

void TDrawView::release() {
  auto* plot = dynamic_cast<plot_3*>(drag_target_.get());
  if (!plot) return;
  plot->select_curve(nullptr);
  unlink(&drag_target_);
  drag_mode_ = plot_3::drag_mode::none;
  button_state = 0;
  if (platform* p = current_platform()) p->release_mouse();
  invalidate_all();
  tell_edit_done(*this, "drag");
}

void TDrawView::show_cursor_position() {
  if (const auto& show = installed_view_hooks().show_cursor) show(*this, world_x - x_origin, world_y - y_origin);
}

void TDrawView::set_left_cursor(double x) {
  zoom_by([&] {
    x1 = x;
    if (x1 > x2) std::swap(x1, x2);
  });
}

void TDrawView::set_right_cursor(double x) {
  zoom_by([&] {
    x2 = x;
    if (x1 > x2) std::swap(x1, x2);
  });
}

int TDrawView::chosen_cursor() {
  if (find_child("iAns_del_pks")) return view_cursor::delete_peaks;
  if (find_child("mAanip_x") || find_child("mAanip_y")) return view_cursor::manipulate;
  if (find_child("cAapt")) return view_cursor::capture;
  return 0;
}

void TDrawView::apply_cursor() {
  if (platform* p = current_platform(); p && frame_) p->set_frame_cursor(frame_, chosen_cursor());
}

// --- focus and size ---

void TDrawView::got_focus() {
  if (platform* p = current_platform(); p && frame_) p->focus_frame(frame_);
  if (view_recs_9* r = recs(); r && !in_teardown(*this)) r->set_focused(this);
}

void TDrawView::resized(int width, int height) {
  ignore_next_press = false;
  fit_plot_area(width, height);
  recompute_scale();
  invalidate_all();
}

void TDrawView::activated() {
  if (in_teardown(*this)) return;
  end_zoom_run();
  if (view_recs_9* r = recs())
    for (TDrawView* v : r->views()) v->ignore_next_press = true;
  take_focus();
}

void TDrawView::deactivated() {
  if (in_teardown(*this)) return;
  if (view_recs_9* r = recs(); r && r->focused() == this) r->set_focused(nullptr);
}

// --- keys ---

void TDrawView::key(char c) {
  end_zoom_run();
  if (box_.active) {
    if (c == escape_key) cancel_box();
    return;
  }
  const view_command_row* row = view_key_row_for(c);
  if (!row || !row->action) return;
  // A copy: the table may be installed again while the action runs.
  const view_command_row keyed = *row;
  node_watch self(this);
  keyed.action(*this, 0);
  if (!self || !keyed.key_rescales) return;
  recompute_scale();
  show_cursor_position();
}

void TDrawView::show_next_file(int step) {
  assoc_class* loaded = find(*this, "xAdd_recs");
  const int n = loaded ? loaded->child_count() : 0;
  if (n == 0) return;
  int index = 0;
  const std::vector<view_line_9*> all = lines();
  if (!all.empty()) {
    int first = 0;
    for (int i = 0; i < n; ++i)
      if (loaded->child(i) == all.front()->file()) first = i;
    // Wraps both ways: the file before the first is the last.
    index = ((first + step) % n + n) % n;
  }
  assoc_class* file = loaded->child(index);
  // Going through the files is comparing them: the window the user chose
  // stays wherever the next file has data across it.
  const double from = x1, to = x2;
  const bool had_lines = !all.empty();
  delete_all_lines();
  add_file(file);
  lines_changed();
  if (!had_lines || !keep_x_window(from, to)) show_all();
}

void TDrawView::measure(const char* what) {
  const std::vector<view_line_9*> all = lines();
  if (all.size() != 1) {
    global_error_message().append("Must select only one file for FWHM");
    show_error(this);
    return;
  }
  if (auto* plot = dynamic_cast<plot_3*>(find(*all.front(), "yobs"))) {
    plot->set_view(this);
    plot->set_text(what);
  }
  invalidate_all();
}

// --- commands ---

void TDrawView::toggle_fix(std::uint32_t bit) {
  display_flags.assign(bit, !display_flags.test(bit));
  if (display_flags.test(bit)) invalidate_all();
}

void TDrawView::all_views_fix(std::uint32_t bit) {
  view_recs_9* r = recs();
  if (!r) return;
  r->display_flags.assign(bit, !r->display_flags.test(bit));
  const std::uint32_t wanted = r->display_flags.test(bit);
  for (TDrawView* v : r->views())
    if (v->display_flags.test(bit) != wanted) v->toggle_fix(bit);
}

void TDrawView::file_button(int index) {
  colors_3* slots = colour_slots(*this);
  color_3* slot = slots ? slots->slot(index) : nullptr;
  assoc_class* file = slot ? slot->file() : nullptr;
  if (!file) return;
  if (view_line_9* line = line_of(file))
    delete_line(line);
  else
    add_file(file);
  lines_changed();
}

void TDrawView::button_step(int id, bool right_button) {
  // The steps of a button held down (or pressed again and again) go back
  // in one.
  const int run = first_button_run + 2 * id + (right_button ? 1 : 0);
  zoom_by([&] { take_button_step(id, right_button); }, run);
}

void TDrawView::take_button_step(int id, bool right_button) {
  const double dx = x_tenth;
  const double dy = y_tenth;
  switch (id) {
    case view_command::scroll:
      x1 += right_button ? dx : -dx;
      x2 += right_button ? dx : -dx;
      break;
    case view_command::extend_x:
      if (right_button)
        x2 += dx;
      else
        x1 -= dx;
      break;
    case view_command::extend_y:
      if (right_button) {
        display_flags.clear(view_bits::fix_y1_at_min | view_bits::fix_y1_at_zero);
        y1 -= dy;
      } else {
        display_flags.clear(view_bits::fix_y2_at_max);
        y2 += dy;
      }
      break;
    default:
      return;
  }
}

bool TDrawView::command(int id) {
  end_zoom_run();
  const view_command_row* row = view_command_row_for(id);
  if (!row || !row->action) return false;
  const auto action = row->action;  // the table may be installed again while it runs
  return action(*this, id);
}

bool TDrawView::enabler(int id, platform_types::command_state& state) {
  state.enabled = true;
  state.checked = false;
  const view_command_row* row = view_command_row_for(id);
  if (!row) return false;
  return !row->enabler || row->enabler(*this, id, state);
}

// --- zoom ---

view_limits TDrawView::current_limits() const {
  return {x1, x2, y1, y2, display_flags.bits() & y_fixes};
}

void TDrawView::apply_limits(const view_limits& to) {
  x1 = to.x1;
  x2 = to.x2;
  y1 = to.y1;
  y2 = to.y2;
  display_flags.clear(y_fixes);
  display_flags.set(to.y_fixes);
}

void TDrawView::zoom_by(const std::function<void()>& change, int run) {
  const view_limits before = current_limits();
  change();
  const view_limits now = current_limits();
  if (now == before) return;
  history().record(before, now, run);
  recompute_scale();
  push_limits();
  invalidate_all();
}

bool TDrawView::can_zoom_back() { return history().can_go_back(); }

bool TDrawView::can_zoom_forward() { return history().can_go_forward(); }

void TDrawView::zoom_back() {
  if (!can_zoom_back()) return;
  apply_limits(history().back(current_limits()));
  recompute_scale();
  push_limits();
  invalidate_all();
}

void TDrawView::zoom_forward() {
  if (!can_zoom_forward()) return;
  apply_limits(history().forward(current_limits()));
  recompute_scale();
  push_limits();
  invalidate_all();
}

void TDrawView::end_zoom_run() { history().end_run(); }

void TDrawView::turn_wheel(const platform_types::mouse_event& e) {
  // Like any mouse event it lets the next press act.
  ignore_next_press = false;
  if (e.wheel_steps == 0) return;
  mouse_x = e.x;
  mouse_y = e.y;
  const double factor = std::pow(wheel_factor, e.wheel_steps);
  // Around the point of the plot under the cursor (its edge, from a margin).
  const double px = within(e.x, left, right);
  const double py = within(e.y, top, bottom);
  // The point keeps its pixel: its distance to either limit shrinks (or
  // grows) with the range.
  auto around = [factor](double at, double& low, double& high) {
    const double new_low = at - (at - low) / factor;
    const double new_high = at + (high - at) / factor;
    const double range = new_high - new_low;
    if (!(range >= smallest_range && range <= largest_range)) return false;
    low = new_low;
    high = new_high;
    return true;
  };
  if (e.shift) {
    zoom_by(
        [&] {
          if (around(y_world(py), y1, y2)) display_flags.clear(y_fixes);
        },
        wheel_y);
  } else {
    zoom_by([&] { around(x_world(px), x1, x2); }, wheel_x);
  }
  world_x = x_world(mouse_x);
  world_y = y_world(mouse_y);
  show_cursor_position();
}

void TDrawView::start_box(const platform_types::mouse_event& e) {
  delete_child_named("edinvw");
  const bool activating = ignore_next_press;
  // As with any press, the click that activates another view acts there only.
  if (view_recs_9* r = recs())
    for (TDrawView* v : r->views()) v->ignore_next_press = true;
  ignore_next_press = false;
  if (activating) return;
  box_.active = true;
  box_.from_x = box_.to_x = within(e.x, left, right);
  box_.from_y = box_.to_y = within(e.y, top, bottom);
  if (platform* p = current_platform(); p && frame_) p->capture_mouse(frame_);
  invalidate_all();
}

void TDrawView::stretch_box(const platform_types::mouse_event& e) {
  mouse_x = e.x;
  mouse_y = e.y;
  box_.to_x = within(e.x, left, right);
  box_.to_y = within(e.y, top, bottom);
  world_x = x_world(box_.to_x);
  world_y = y_world(box_.to_y);
  show_cursor_position();
  invalidate_all();
}

void TDrawView::finish_box() {
  const zoom_box box = std::exchange(box_, {});
  if (platform* p = current_platform()) p->release_mouse();
  invalidate_all();
  const int width = std::abs(box.to_x - box.from_x);
  const int height = std::abs(box.to_y - box.from_y);
  if (width < smallest_box || height < smallest_box) return;
  // Every corner is read through the mapping before any limit moves.
  const double new_x1 = x_world(std::min(box.from_x, box.to_x));
  const double new_x2 = x_world(std::max(box.from_x, box.to_x));
  const double new_y1 = y_world(std::max(box.from_y, box.to_y));
  const double new_y2 = y_world(std::min(box.from_y, box.to_y));
  zoom_by([&] {
    x1 = new_x1;
    x2 = new_x2;
    y1 = new_y1;
    y2 = new_y2;
    display_flags.clear(y_fixes);
  });
}

void TDrawView::cancel_box() {
  box_ = {};
  if (platform* p = current_platform()) p->release_mouse();
  invalidate_all();
}

void TDrawView::draw_zoom_box(platform_types::surface& s) {
  s.set_pen(zoom_box_grey, 1, platform_types::pen_style::dash);
  s.rectangle(std::min(box_.from_x, box_.to_x), std::min(box_.from_y, box_.to_y), std::max(box_.from_x, box_.to_x),
              std::max(box_.from_y, box_.to_y));
}
