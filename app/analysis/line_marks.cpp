#include "app/analysis/line_marks.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/views/TDrawView.h"
#include "app/views/colors_3.h"
#include "app/views/view_surface.h"
#include "core/node_watch.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/plots/plot_view.h"

namespace {

// What a file's counts looked like when it was marked: a change of its
// grid or of any count shows in one of these.
struct fingerprint {
  int n = 0;
  double first = 0.0, last = 0.0, sum = 0.0;
  bool operator==(const fingerprint&) const = default;
};

fingerprint fingerprint_of(assoc_class& file) {
  fingerprint f;
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  if (!profile || profile->n < 1) return f;
  f.n = profile->n;
  f.first = profile->x_of(0);
  f.last = profile->x_of(profile->n - 1);
  for (int i = 0; i < profile->n; ++i) f.sum += static_cast<double>(profile->y[profile->y.base() + i]);
  return f;
}

struct marked_view {
  std::unique_ptr<node_watch> view, file;
  fingerprint counts;
  std::vector<line_mark> marks;
  marked_background background;
};

std::vector<marked_view>& marked() {
  static std::vector<marked_view> views;
  return views;
}

// Views and files that are gone take their marks with them.
void forget_the_gone() {
  std::erase_if(marked(), [](const marked_view& m) { return !*m.view || !*m.file; });
}

marked_view* entry_of(TDrawView& view) {
  forget_the_gone();
  for (marked_view& m : marked())
    if (m.view->get() == &view) return &m;
  return nullptr;
}

}  // namespace

void set_line_marks(TDrawView& view, assoc_class& file, std::vector<line_mark> marks, marked_background background) {
  clear_line_marks(view);
  marked_view m;
  m.view = std::make_unique<node_watch>(&view);
  m.file = std::make_unique<node_watch>(&file);
  m.counts = fingerprint_of(file);
  m.marks = std::move(marks);
  if (background.two_theta.size() == background.counts.size()) m.background = std::move(background);
  marked().push_back(std::move(m));
  view.redraw();
}

void clear_line_marks(TDrawView& view) {
  forget_the_gone();
  const auto before = marked().size();
  std::erase_if(marked(), [&view](const marked_view& m) { return m.view->get() == &view; });
  if (marked().size() != before) view.redraw();
}

namespace {

// The view's entry while it still belongs to the file it shows as marked.
marked_view* current_entry_of(TDrawView& view) {
  marked_view* m = entry_of(view);
  if (!m) return nullptr;
  const std::vector<assoc_class*> files = view.files();
  if (std::find(files.begin(), files.end(), m->file->get()) == files.end() ||
      fingerprint_of(*m->file->get()) != m->counts) {
    clear_line_marks(view);
    return nullptr;
  }
  return m;
}

void draw_background(TDrawView& view, plot_surface& s) {
  marked_view* m = current_entry_of(view);
  if (!m || m->background.two_theta.size() < 2) return;
  if (auto* surface = dynamic_cast<view_surface*>(&s))
    if (colors_3* slots = colour_slots(view)) surface->set_colour(slots->colour_of(m->file->get()));
  curve_look dashed;
  dashed.line_style = curve_look::style::dash;
  s.curve(m->background.two_theta.data(), m->background.counts.data(),
          static_cast<int>(m->background.two_theta.size()), dashed);
  if (auto* surface = dynamic_cast<view_surface*>(&s)) surface->set_colour(colors_3::no_slot);
}

}  // namespace

std::vector<line_mark> line_marks_of(TDrawView& view) {
  marked_view* m = current_entry_of(view);
  return m ? m->marks : std::vector<line_mark>{};
}

marked_background marked_background_of(TDrawView& view) {
  marked_view* m = current_entry_of(view);
  return m ? m->background : marked_background{};
}

void draw_line_marks(TDrawView& view, plot_surface& s) {
  draw_background(view, s);
  const double span = view.y_top() - view.y_bottom();
  if (!(span > 0.0)) return;
  // A tick a little over the line's top with the label over it. A line as
  // high as the view leaves no room there: its label stands beside its top,
  // clear of the curve, and it has no tick.
  const double gap = 0.03 * span, tick = 0.06 * span, room = 0.08 * span;
  const double aside = 0.035 * (view.x_right() - view.x_left());
  auto* view_text = dynamic_cast<view_surface*>(&s);  // only a view's own surface writes texts
  for (const line_mark& m : line_marks_of(view)) {
    if (m.two_theta < view.x_left() || m.two_theta > view.x_right()) continue;
    const double top = m.counts + gap + tick;
    if (top > view.y_top() - room) {
      if (view_text) view_text->label(m.two_theta + aside, view.y_top() - room, m.label);
      continue;
    }
    const double x[2] = {m.two_theta, m.two_theta};
    const double y[2] = {top - tick, top};
    s.curve(x, y, 2, curve_look{});
    if (view_text) view_text->label(m.two_theta, top, m.label);
  }
}
