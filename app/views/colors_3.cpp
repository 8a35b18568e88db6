#include "app/views/colors_3.h"

#include "app/views/color_3.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> colors_3::clone_empty() const { return clone_like(*this); }

void colors_3::configure() {
  if (child_count() > 0) return;
  assoc_class* entries = query_object("win_misc c file_colors");
  if (!entries) return;
  for (int i = 0; i < entries->child_count(); ++i) {
    auto slot = std::make_unique<color_3>();
    slot->set_text(entries->child(i)->class_name());
    add_child(std::move(slot));
  }
}

color_3* colors_3::slot(int index) const {
  return index >= 0 && index < child_count() ? dynamic_cast<color_3*>(child(index)) : nullptr;
}

int colors_3::slot_of(const assoc_class* file) const {
  if (!file) return -1;
  for (int i = 0; i < child_count(); ++i)
    if (color_3* c = slot(i); c && c->file() == file) return i;
  return -1;
}

int colors_3::free_slot() const {
  for (int i = 0; i < child_count(); ++i)
    if (color_3* c = slot(i); c && !c->file()) return i;
  return -1;
}

platform_types::colour colors_3::colour_of(const assoc_class* file) const {
  const color_3* c = slot(slot_of(file));
  return c ? c->rgb() : no_slot;
}

colors_3* colour_slots(assoc_class& from) { return dynamic_cast<colors_3*>(find(from, "colors")); }
