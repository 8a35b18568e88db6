#pragma once

#include "core/fund_type_3.h"

// A typed value that remembers where in its input it was read, and sorts by
// that position (so records keep their file order).
class io_funda_3 : public fund_type_3 {
 public:
  bool read_value(stream_in& in) override;
  bool less_than(assoc_class& node) override;
  std::unique_ptr<assoc_class> clone_empty() const override;
  void copy_from(assoc_class& source) override;
  int input_position() const { return input_position_; }

 private:
  int input_position_ = -1;
};
