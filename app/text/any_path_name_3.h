#pragma once

#include <memory>

#include "core/fund_type_3.h"

// The title of the next program-filled text document (node "any_path_name",
// a text value). Executed, it opens a new, empty document in its own text
// window titled with its text, runs its own execution script and answers
// the window's node (an any_vw_3), whose set_text fills the document. Its
// text then goes back to the template's default, so that a title given for
// one document (a report) does not name the next "New TXT" one.
class any_path_name_3 : public fund_type_3 {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  // The new window's node; null when no window could be made (the user has
  // been told).
  assoc_class* execute() override;
};
