#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "core/assoc_class.h"

// A list box of a dialog described in the outside records, and a node of the
// tree named as its description says. Each line of the list stands for a
// class word: a script, with '|' for blanks, run with this node as context
// when the user chooses the line.
class lb_opts_2 : public assoc_class {
 public:
  struct description {
    std::string name;     // the node's name
    int control = 0;      // the list box's control id
    std::string items;    // words, one line each; '|' shows as a blank
    std::string classes;  // words, one per item, in the same order
    bool has_default = false;
    int default_selection = 0;  // chosen the first time the list is filled
  };

  lb_opts_2() = default;
  explicit lb_opts_2(description d);

  const char* class_name() const override { return description_.name.c_str(); }
  std::unique_ptr<assoc_class> clone_empty() const override;

  int control() const { return description_.control; }
  const std::vector<std::string>& lines() const { return lines_; }
  const std::vector<std::string>& class_words() const { return classes_; }
  // The line chosen last, -1 before any.
  int remembered() const { return remembered_; }

  // Puts the lines into the dialog's list box. The first filling chooses the
  // default line, if one is described, as the user would; later fillings
  // select the line chosen last without acting on it again.
  void fill(platform& p, platform::dialog_id dialog);
  // Runs the class word of the line under the caret. Nothing happens for a
  // caret on no line or on a line without a class word. The script may
  // delete this node.
  void act_on_selection(platform& p, platform::dialog_id dialog);
  // Lets go of the line chosen last, which an undo may have made untrue:
  // a click on it then acts again.
  void forget_choice(platform& p, platform::dialog_id dialog);

 private:
  description description_;
  std::vector<std::string> lines_;    // as shown
  std::vector<std::string> classes_;  // as given
  bool filled_before_ = false;
  int remembered_ = -1;
};
