#pragma once

#include <memory>
#include <vector>

#include "app/views/display_flags_9.h"
#include "core/assoc_class.h"

class TDrawView;

// The list of open graph views (node "view_recs" under the application).
// Its own display flags are the defaults every new view starts with; its
// named children "vw_with_focus" and "wBork_vw" refer to the view that has
// the focus and to the working view that scripts choose.
class view_recs_9 : public assoc_class, public display_flags_9 {
 public:
  const char* class_name() const override { return "view_recs"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  // The open views, in the order they were made.
  std::vector<TDrawView*> views() const;
  TDrawView* last_view() const;
  // The view with the focus, or null.
  TDrawView* focused();
  void set_focused(TDrawView* view);
  // The view that the working-view reference names, or null.
  TDrawView* working();
  // Whether some open view's frame is maximised: only that one paints.
  TDrawView* maximised_view() const;
};

// The list of views seen from any node of the application's tree; null
// before the application has one.
view_recs_9* view_list(assoc_class& from);
