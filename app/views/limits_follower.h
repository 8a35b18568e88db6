#pragma once

// A window that shows the limits of the focused graph view (node
// "axes_dlg"): the view tells it each time they change.
class limits_follower {
 public:
  virtual ~limits_follower() = default;
  virtual void refresh() = 0;
};
