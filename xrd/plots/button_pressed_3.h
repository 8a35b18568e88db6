#pragma once

#include <memory>
#include <vector>

#include "core/assoc_class.h"
#include "core/ptr_class.h"

class plot_3;
class xy_data_3;

// A mouse press in a graph view, offered to the plots of the view's lines in
// turn (node "but_pr", made for the time of one press). It holds the press
// in pixels and in world units with the hit tolerances, and collects the
// curves that were hit and may be dragged; the first of them is chosen.
class button_pressed_3 : public assoc_class {
 public:
  struct candidate {
    ptr_class<assoc_class> plot;
    ptr_class<assoc_class> curve;
  };

  button_pressed_3() = default;
  ~button_pressed_3() override;
  const char* class_name() const override { return "but_pr"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  void add_candidate(plot_3& plot, xy_data_3& curve);
  bool has_candidates() const;
  // The first candidate still alive; null plot when none.
  plot_3* chosen_plot() const;
  xy_data_3* chosen_curve() const;

  int pixel_x = 0;
  int pixel_y = 0;
  double world_x = 0.0;
  double world_y = 0.0;
  // The hit tolerances in data units.
  double tolerance_x = 0.0;
  double tolerance_y = 0.0;
  // The press came from the right button.
  bool right = false;

 private:
  std::vector<std::unique_ptr<candidate>> candidates_;
};
