#include "core/io_funda_3.h"

#include "core/stream_in.h"

bool io_funda_3::read_value(stream_in& in) {
  input_position_ = in.read_position();
  return fund_type_3::read_value(in);
}

bool io_funda_3::less_than(assoc_class& node) {
  auto* other = dynamic_cast<io_funda_3*>(&node);
  if (!other) return fund_type_3::less_than(node);
  return input_position_ < other->input_position_;
}

std::unique_ptr<assoc_class> io_funda_3::clone_empty() const { return clone_like(*this); }

void io_funda_3::copy_from(assoc_class& source) {
  if (auto* other = dynamic_cast<io_funda_3*>(&source)) input_position_ = other->input_position_;
  fund_type_3::copy_from(source);
}
