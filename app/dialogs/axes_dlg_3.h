#pragma once

#include <memory>
#include <string>

#include "app/dialogs/B_dlg_3.h"
#include "app/views/limits_follower.h"
#include "core/ptr_class.h"

class TDrawView;

// "Edit Axes" (node "axes_dlg"): the four limits of the focused graph view,
// each in an edit where Enter applies it. It follows the focus and every
// change of the limits while its window exists.
class axes_dlg_3 : public B_dlg_3, public limits_follower {
 public:
  axes_dlg_3() : B_dlg_3("axes_dlg") {}
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // Shows the focused view's limits and title (only while the window exists).
  void refresh() override;
  void on_edit_enter(int control) override;
  TDrawView* view() const;

  // The format of the y limits: more decimals for a narrower range, 0 to 4.
  static std::string y_format(double y1, double y2);

 protected:
  void before_showing(platform& p, platform::dialog_id d) override;

 private:
  ptr_class<assoc_class> view_;
};
