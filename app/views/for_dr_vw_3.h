#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/views/TDrawView.h"

// The graph view of the workbench: a TDrawView that shows the observed
// profiles when it opens and switches between the families of the Fourier
// chain (the display commands). The transform and quotient families (bits
// 0x0f0) and the profile families (0x700) exclude each other.
// The display families by the names the batch tool and the command line
// take: "yobs", "re", "im", "mod", "br_re", "br_im", "br_mod", "inv",
// "deconv" (each also the class name of the plot that draws it).
struct display_family {
  const char* name;
  std::uint32_t bit;
};
const std::vector<display_family>& display_families();
// The display bits of the named families (unknown names add nothing).
std::uint32_t family_bits(const std::vector<std::string>& names);
// "" when the names are known and do not mix transforms with profiles,
// else why not.
std::string check_families(const std::vector<std::string>& names);

class for_dr_vw_3 : public TDrawView {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override;
  std::string title_suffix() const override;
  // Toggles the display bit of a display command.
  void toggle_display(int id);
  // Opens a new view (through "new_view") that shows this view's x range.
  void new_view_from_this();
  // Shows exactly the families of `bits` (display bits 0x010 to 0x400),
  // scaled to all of them; a transform's y limits follow its data.
  void show_families(std::uint32_t bits);

  static std::uint32_t display_bit(int id);

 protected:
  void setup_window() override;
  int limits_family() const override { return limits_family_; }

 private:
  // Profiles are drawn over 2θ, transforms over frequency: each keeps the
  // limits it was last shown in, so that a switch back finds them again.
  enum family { profiles, transforms, no_family };
  static family family_of(std::uint32_t bits);
  struct kept_limits {
    bool kept = false;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  };
  // The display bits changed: when they moved to the other family, the
  // limits shown are kept as the old family's and the new family's come
  // back. False when they did not come back (the family is shown for the
  // first time, or no family is shown).
  bool follow_family();
  kept_limits kept_[2];
  family limits_family_ = profiles;  // whose limits x1 .. y2 are
};
