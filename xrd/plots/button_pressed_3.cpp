#include "xrd/plots/button_pressed_3.h"

#include "xrd/curves/xy_data_3.h"
#include "xrd/plots/plot_3.h"

button_pressed_3::~button_pressed_3() {
  for (auto& c : candidates_) {
    unlink(&c->plot);
    unlink(&c->curve);
  }
}

std::unique_ptr<assoc_class> button_pressed_3::clone_empty() const { return clone_like(*this); }

void button_pressed_3::add_candidate(plot_3& plot, xy_data_3& curve) {
  auto c = std::make_unique<candidate>();
  // Linked: a script run by the press may delete either.
  link(&plot, &c->plot);
  link(&curve, &c->curve);
  candidates_.push_back(std::move(c));
}

bool button_pressed_3::has_candidates() const { return !candidates_.empty(); }

plot_3* button_pressed_3::chosen_plot() const {
  for (const auto& c : candidates_)
    if (c->plot.get() && c->curve.get()) return dynamic_cast<plot_3*>(c->plot.get());
  return nullptr;
}

xy_data_3* button_pressed_3::chosen_curve() const {
  for (const auto& c : candidates_)
    if (c->plot.get() && c->curve.get()) return dynamic_cast<xy_data_3*>(c->curve.get());
  return nullptr;
}
