#pragma once

#include "core/assoc_class.h"
#include "core/my_string.h"
#include "core/ptr_class.h"
#include "core/stream_in.h"
#include "io/string_in.h"

// The state of one run of a process string: the text being read, the origin
// object ("_") and the current object ("^"), the operands and word of the
// command in progress, and where "P" reads and "H" writes.
//
// Commands delete nodes, and so do the scripts they set off, so every node
// the run refers to is held in a holder linked through `anchor_`: the tree
// resets it when its target dies, and the run then finds null, never a dead
// pointer.
class process_dets_3 {
 public:
  static constexpr int max_operands = 2;

  // Runs `text` with `object` as both the origin and the current object. The
  // text is copied: a script may change the value it was read from.
  process_dets_3(const char* text, assoc_class* object);
  process_dets_3(const process_dets_3&) = delete;
  process_dets_3& operator=(const process_dets_3&) = delete;
  virtual ~process_dets_3() = default;

  stream_in& text() { return text_; }

  assoc_class* origin() const { return origin_.get(); }
  assoc_class* current() const { return current_.get(); }
  void set_origin(assoc_class* node) { hold(origin_, node); }
  void set_current(assoc_class* node) { hold(current_, node); }

  // The object operands of the command in progress. Acting on one may run a
  // script that deletes the other, so they are held like the current object.
  assoc_class* operand(int slot) const { return operands_[slot].get(); }
  void set_operand(int slot, assoc_class* node) { hold(operands_[slot], node); }
  void clear_operands() {
    for (auto& op : operands_) hold(op, nullptr);
  }

  // The word argument of the command in progress: read_word's buffer is
  // shared by every stream and a nested run overwrites it.
  my_string& word() { return word_; }

  // Where "P" reads a value; without one, "P" does nothing.
  stream_in* input() const { return input_; }
  void set_input(stream_in* in) { input_ = in; }

  // Where "H" writes; only deletion runs supply one.
  virtual my_string* output() const { return nullptr; }

  // Set when the run was refused or cut off at the nesting cap: whatever it
  // left as its current object is not a result.
  bool cut_short() const { return cut_short_; }
  void mark_cut_short() { cut_short_ = true; }

 private:
  void hold(ptr_class<assoc_class>& holder, assoc_class* node) { anchor_.link(node, &holder); }

  my_string source_;
  string_in text_;
  stream_in* input_ = nullptr;
  bool cut_short_ = false;
  my_string word_;
  // Declared before the anchor so that they outlive its teardown.
  ptr_class<assoc_class> origin_;
  ptr_class<assoc_class> current_;
  ptr_class<assoc_class> operands_[max_operands];
  assoc_class anchor_;
};

// A run that can hand text back to its caller: "H" sets the output text,
// which the deletion of a node then runs on the node's former parent.
class process_dets_4 : public process_dets_3 {
 public:
  // `output` belongs to the caller; null makes this a plain run.
  process_dets_4(const char* text, assoc_class* object, my_string* output)
      : process_dets_3(text, object), output_(output) {}
  my_string* output() const override { return output_; }

 private:
  my_string* output_;
};

inline process_dets_3::process_dets_3(const char* text, assoc_class* object)
    : source_(text ? text : ""), text_(source_.c_str()) {
  set_origin(object);
  set_current(object);
}
