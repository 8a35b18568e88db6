#pragma once

#include <memory>

#include "app/dialogs/open_save_3.h"
#include "core/assoc_class.h"

// Turns one curve that a graph view shows (a deconvoluted profile, say) into
// a new loaded data file whose observed profile is that curve, cut to the
// active view's x range. A press on a curve in capture mode hands the curve
// here. The new file lives only in memory, marked changed, until the user
// saves it; its own dialog record remembers the folder last chosen.
class capture_3 : public open_save_3 {
 public:
  const char* class_name() const override { return "capture"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // Captures the curve (an xy object of a loaded data file): the new data
  // file, or null when nothing was made (no room for another file, the
  // dialog cancelled, the chosen path already loaded, or no owning file).
  // Runs the execution script after a capture.
  assoc_class* execute_with(assoc_class* curve) override;
  // Without a curve there is nothing to capture.
  assoc_class* execute() override { return nullptr; }
};
