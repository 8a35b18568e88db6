#pragma once

#include <memory>
#include <string>

#include "app/views/TDrawView.h"

// The graph view of the workbench: a TDrawView that shows the observed
// profiles when it opens and switches between the families of the Fourier
// chain (commands 4247 to 4253). The transform and quotient families (bits
// 0x0f0) and the profile families (0x700) exclude each other.
class for_dr_vw_3 : public TDrawView {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override;
  bool command(int id) override;
  bool enabler(int id, platform_types::command_state& state) override;
  std::string title_suffix() const override;
  // Toggles the display bit of a command 4247 to 4253.
  void toggle_display(int id);
  // Opens a new view (through "new_view") that shows this view's x range.
  void new_view_from_this();

  static std::uint32_t display_bit(int id);

 protected:
  void setup_window() override;
};
