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
inline constexpr std::uint32_t frequency_families = 0xf0;
}  // namespace show_bits

// What the curves need to know of the graph view that shows them: which
// families it shows and the world window it maps. The graph view of the
// application implements it; tests record it.
class plot_view {
 public:
  virtual ~plot_view() = default;
  virtual std::uint32_t show_bits() const = 0;
  virtual double x_left() const = 0;
  virtual double x_right() const = 0;
  virtual double y_bottom() const = 0;
  virtual double y_top() const = 0;
  virtual void redraw() = 0;
};

// Where a curve is drawn, in world coordinates; the view maps them to pixels.
class plot_surface {
 public:
  virtual ~plot_surface() = default;
  virtual void polyline(const double* x, const double* y, int n) = 0;
  virtual void segment(double x1, double y1, double x2, double y2) = 0;
};
