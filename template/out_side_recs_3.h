#pragma once

#include <memory>

#include "core/my_string.h"
#include "core/sorted_children_3.h"

class stream_in;

// A record of the outside records: its name is its text, and its value is
// the name of its first child. Children keep their file order.
class out_side_rec_3 : public virtual assoc_class {
 public:
  const char* class_name() const override { return text.c_str(); }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<out_side_rec_3>(); }
  my_string text;
};

// A record whose children are sorted by name for fast look-up.
class out_side_sorted_rec_3 : public out_side_rec_3, public sorted_children_3 {
 public:
  const char* class_name() const override { return text.c_str(); }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<out_side_sorted_rec_3>(); }
};

class out_side_sorted_rec_str_name_3 : public out_side_sorted_rec_3 {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override {
    return std::make_unique<out_side_sorted_rec_str_name_3>();
  }
};

// The holder of the outside records' single root record.
class out_side_recs_3 : public sorted_children_3 {
 public:
  const char* class_name() const override { return "out_side_recs"; }
  // Reads the section after "start_out_side_recs".
  void load(stream_in& in);
  assoc_class* root() const { return count() > 0 ? child(0) : nullptr; }
  void unload() { delete_all_children(); }
};

// The process-wide outside records, read from the template file on first use.
out_side_recs_3& outside_records();
// Replaces the process-wide outside records by those read from `in`.
void replace_outside_records(stream_in& in);
// The value of the top-level record `name` (its first child's text), or null.
const char* outside_value(const char* name);
