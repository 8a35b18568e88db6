#pragma once

#include <cstdint>

#include "core/my_string.h"

class B_fund_funs_3;

// Bits of a field description: which attributes the template gave a value.
namespace field_bits {
inline constexpr std::uint32_t min = 0x1;
inline constexpr std::uint32_t max = 0x2;
inline constexpr std::uint32_t name = 0x4;
inline constexpr std::uint32_t fmt = 0x8;
inline constexpr std::uint32_t def = 0x10;
inline constexpr std::uint32_t switch_ = 0x20;  // also sets int_
inline constexpr std::uint32_t int_ = 0x40;
inline constexpr std::uint32_t double_ = 0x80;
inline constexpr std::uint32_t text = 0x100;
inline constexpr std::uint32_t assoc = 0x200;
inline constexpr std::uint32_t take_data = 0x400;
inline constexpr std::uint32_t on_change = 0x800;
}  // namespace field_bits

// What a template says of one typed field: its value type, limits, display
// name and format, default, and the scripts run when it takes a value.
struct field_description {
  std::uint32_t bits = 0;
  double min = 0.0;
  double max = 0.0;
  my_string name;
  my_string fmt;
  my_string def;
  my_string take_data;
  my_string on_change;
  const B_fund_funs_3* funs = nullptr;

  bool has(std::uint32_t mask) const { return (bits & mask) != 0; }
};
