#include "app/views/file_button_on_off.h"

#include "app/views/TDrawView.h"
#include "app/views/color_3.h"
#include "app/views/colors_3.h"
#include "app/views/ctl_bar_9.h"

file_button_on_off::~file_button_on_off() {
  // The bar may be gone already when the whole application is closing.
  if (auto* bar = dynamic_cast<ctl_bar_9*>(bar_.peek()); bar && id_) bar->remove(id_);
}

platform_types::gadget file_button_on_off::gadget(bool on) const {
  platform_types::gadget g{id_, 0, 0};
  g.bitmap = on ? tick_bitmap : cross_bitmap;
  g.tinted = true;
  g.tint = colour_;
  return g;
}

void file_button_on_off::configure() {
  if (id_) return;
  assoc_class* file = ancestor_named("xdd");
  colors_3* slots = colour_slots(*this);
  if (!file || !slots) return;
  const int index = slots->free_slot();
  // Past the last slot a file has no button (and no colour of its own).
  if (index < 0 || index > view_command::last_file_button - view_command::first_file_button) return;
  color_3* slot = slots->slot(index);
  slot->set_file(file);
  colour_ = slot->rgb();
  id_ = view_command::first_file_button + index;
  on_ = false;
  if (auto* bar = dynamic_cast<ctl_bar_9*>(bar_.get(*this))) bar->insert(gadget(false));
}

assoc_class* file_button_on_off::set_int(int v) {
  wanted_ = v != 0;
  return this;
}

void file_button_on_off::show(bool on) {
  wanted_ = on;
  if (on != on_ && id_) {
    if (auto* bar = dynamic_cast<ctl_bar_9*>(bar_.get(*this))) bar->replace(id_, gadget(on));
  }
  on_ = on;
}

assoc_class* file_button_on_off::execute() {
  show(wanted_);
  return assoc_class::execute();
}
