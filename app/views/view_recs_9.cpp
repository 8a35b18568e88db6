#include "app/views/view_recs_9.h"

#include "app/platform/platform.h"
#include "app/views/TDrawView.h"
#include "core/deletion_bin.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> view_recs_9::clone_empty() const { return clone_like(*this); }

std::vector<TDrawView*> view_recs_9::views() const {
  std::vector<TDrawView*> out;
  for (int i = 0; i < child_count(); ++i)
    if (auto* v = dynamic_cast<TDrawView*>(child(i)); v && !in_teardown(*v)) out.push_back(v);
  return out;
}

TDrawView* view_recs_9::last_view() const {
  const std::vector<TDrawView*> all = views();
  return all.empty() ? nullptr : all.back();
}

TDrawView* view_recs_9::focused() {
  assoc_class* ref = find_existing(*this, "vw_with_focus");
  auto* view = dynamic_cast<TDrawView*>(ref ? ref->get_object() : nullptr);
  // A view on its way to the deletion bin has left the list.
  return view && view->parent() == this && !in_teardown(*view) ? view : nullptr;
}

void view_recs_9::set_focused(TDrawView* view) {
  if (assoc_class* ref = find(*this, "vw_with_focus")) ref->set_object(view);
}

TDrawView* view_recs_9::working() {
  assoc_class* ref = find_existing(*this, "wBork_vw");
  auto* view = dynamic_cast<TDrawView*>(ref ? ref->get_object() : nullptr);
  return view && view->parent() == this ? view : nullptr;
}

TDrawView* view_recs_9::maximised_view() const {
  platform* p = current_platform();
  if (!p) return nullptr;
  for (TDrawView* v : views())
    if (v->frame() && p->frame_maximised(v->frame())) return v;
  return nullptr;
}

view_recs_9* view_list(assoc_class& from) { return dynamic_cast<view_recs_9*>(find(from, "view_recs")); }
