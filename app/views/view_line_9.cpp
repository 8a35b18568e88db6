#include "app/views/view_line_9.h"

#include "app/views/TDrawView.h"
#include "core/deletion_bin.h"
#include "core/paths.h"
#include "xrd/plots/plot_3.h"

namespace {

std::uint64_t next_serial = 0;

}  // namespace

view_line_9::view_line_9() : serial_(++next_serial) {}

view_line_9::~view_line_9() {
  // Letting go of the file here is no unloading of it.
  destroying_ = true;
  unlink(&file_);
}

void view_line_9::target_died() {
  if (destroying_ || in_teardown(*this)) return;
  TDrawView* view = dynamic_cast<TDrawView*>(ancestor_named("drvw"));
  if (!move_to_deletion_bin(*this)) return;
  if (view) view->line_unloaded();
}

std::unique_ptr<assoc_class> view_line_9::clone_empty() const { return clone_like(*this); }

bool view_line_9::less_than(assoc_class& node) {
  auto* other = dynamic_cast<view_line_9*>(&node);
  return other ? serial_ < other->serial_ : assoc_class::less_than(node);
}

void view_line_9::bind(assoc_class* file) {
  link(file, &file_);
  assoc_class* holder = child_or_create("xAdd_plots");
  if (!holder) return;
  // The template says which plots a line has, in drawing order.
  if (assoc_class* records = holder->tem()) {
    for (int i = 0; i < records->child_count(); ++i) {
      const char* name = records->child(i)->class_name();
      if (!holder->find_child(name)) holder->create_child_by_name(name);
    }
  }
  for (plot_3* p : plots()) p->bind_file(file);
}

std::vector<plot_3*> view_line_9::plots() {
  std::vector<plot_3*> out;
  assoc_class* holder = find_child("xAdd_plots");
  if (!holder) return out;
  for (int i = 0; i < holder->child_count(); ++i)
    if (auto* p = dynamic_cast<plot_3*>(holder->child(i))) out.push_back(p);
  return out;
}
