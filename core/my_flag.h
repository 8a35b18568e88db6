#pragma once

#include <cstdint>

// A 32-bit word of flag bits. Containers keep their storage bits in the low
// bits; derived classes (tree nodes, streams, templates) use the higher ones.
class my_flag {
 public:
  constexpr my_flag() = default;
  constexpr explicit my_flag(std::uint32_t bits) : bits_(bits) {}

  void set(std::uint32_t mask) { bits_ |= mask; }
  void clear(std::uint32_t mask) { bits_ &= ~mask; }
  std::uint32_t test(std::uint32_t mask) const { return bits_ & mask; }
  void assign(std::uint32_t mask, bool on) { on ? set(mask) : clear(mask); }
  std::uint32_t bits() const { return bits_; }

 private:
  std::uint32_t bits_ = 0;
};
