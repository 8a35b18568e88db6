#include "app/views/ctl_bar_9.h"

#include <algorithm>

#include "app/views/TDrawView.h"

namespace {

platform_types::gadget button(int id) { return {id, 0, 0}; }
platform_types::gadget separator(int pixels) { return {0, 0, pixels}; }

}  // namespace

ctl_bar_9::ctl_bar_9()
    : gadgets_{button(view_command::extend_y), separator(2), button(view_command::extend_x), separator(2),
               button(view_command::scroll), separator(6)} {}

assoc_class* ctl_bar_9::execute() {
  lay_out();
  return assoc_class::execute();
}

int ctl_bar_9::index_of(int id) const {
  for (std::size_t i = 0; i < gadgets_.size(); ++i)
    if (gadgets_[i].id == id && id != 0) return static_cast<int>(i);
  return -1;
}

void ctl_bar_9::insert(const platform_types::gadget& g, int before) {
  const int at = index_of(before);
  if (at < 0)
    gadgets_.push_back(g);
  else
    gadgets_.insert(gadgets_.begin() + at, g);
  lay_out();
}

bool ctl_bar_9::replace(int id, const platform_types::gadget& g) {
  const int at = index_of(id);
  if (at < 0) return false;
  gadgets_[static_cast<std::size_t>(at)] = g;
  lay_out();
  return true;
}

void ctl_bar_9::remove(int id) {
  const int at = index_of(id);
  if (at < 0) return;
  gadgets_.erase(gadgets_.begin() + at);
  lay_out();
}

void ctl_bar_9::lay_out() {
  if (platform* p = current_platform()) p->set_control_buttons(gadgets_);
}
