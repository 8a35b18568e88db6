#pragma once

#include <cstdint>

#include "core/my_flag.h"
#include "xrd/plots/plot_view.h"

// The display flags of a graph view: which y limits follow the data, and
// which families of curves it shows (the show bits the plots read).
namespace view_bits {
inline constexpr std::uint32_t fix_y1_at_min = 0x001;
inline constexpr std::uint32_t fix_y2_at_max = 0x002;
inline constexpr std::uint32_t fix_y1_at_zero = 0x004;
inline constexpr std::uint32_t counts_per_second = show_bits::counts_per_second;
inline constexpr std::uint32_t frequency_families = show_bits::frequency_families;
inline constexpr std::uint32_t profile_families = show_bits::profile_families;
}  // namespace view_bits

class display_flags_9 {
 public:
  my_flag display_flags;
};
