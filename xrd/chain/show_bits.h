#pragma once

#include <cstdint>

// Show bits of a graph view: which families of curves it displays.
namespace show_bits {
inline constexpr std::uint32_t counts_per_second = 0x8;
inline constexpr std::uint32_t transform_re_im = 0x10;
inline constexpr std::uint32_t transform_mod = 0x20;
inline constexpr std::uint32_t quotient_re_im = 0x40;
inline constexpr std::uint32_t quotient_mod = 0x80;
inline constexpr std::uint32_t observed = 0x100;
inline constexpr std::uint32_t inverse = 0x200;
inline constexpr std::uint32_t deconvoluted = 0x400;
// A(L): the quotient's real part normalised to 1 at L = 0, on the axis of
// column lengths, up to the frequency limit.
inline constexpr std::uint32_t coefficients = 0x800;
inline constexpr std::uint32_t frequency_families = 0x8f0;
inline constexpr std::uint32_t profile_families = 0x700;
}  // namespace show_bits
