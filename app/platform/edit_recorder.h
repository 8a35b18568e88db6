#pragma once

#include <string>

class assoc_class;

// What hears that a person's edit of loaded files has ended: the
// application, which keeps the steps that Edit > Undo and Redo walk. An
// edit is what one gesture did, however many values it touched: a drag from
// press to release, one choice in the options list, one Enter over many
// cells of the report editor.
class edit_recorder {
 public:
  virtual ~edit_recorder() = default;
  // `what` names the kind of edit as the menu shows it ("drag", "options").
  virtual void edit_done(const std::string& what) = 0;
  // What the files hold now is no one's edit, and the next edit starts from
  // it: the report editor made the fields its columns show.
  virtual void edits_settled() = 0;
};

// Tells the application of `context` (a view, a dialog, the report editor)
// that an edit named `what` has ended; nothing when the tree has none.
void tell_edit_done(assoc_class& context, const std::string& what);
// Tells the application of `context` that the files' changes so far are no
// edit.
void tell_edits_settled(assoc_class& context);
