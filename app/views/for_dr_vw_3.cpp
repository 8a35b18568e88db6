#include "app/views/for_dr_vw_3.h"

#include <algorithm>

#include "app/views/view_recs_9.h"
#include "core/paths.h"
#include "xrd/chain/xy_yobs_3.h"

std::unique_ptr<assoc_class> for_dr_vw_3::clone_empty() const { return clone_like(*this); }

void for_dr_vw_3::setup_window() {
  display_flags.set(show_bits::observed);
  if (const family now = family_of(display_flags.bits()); now != no_family) limits_family_ = now;
}

for_dr_vw_3::family for_dr_vw_3::family_of(std::uint32_t bits) {
  if (bits & view_bits::frequency_families) return transforms;
  if (bits & view_bits::profile_families) return profiles;
  return no_family;
}

bool for_dr_vw_3::follow_family() {
  const family now = family_of(display_flags.bits());
  if (now == no_family || now == limits_family_) return false;
  kept_[limits_family_] = {true, x1, x2, y1, y2};
  limits_family_ = now;
  const kept_limits& back = kept_[now];
  if (!back.kept) return false;
  // A transform's axis changes with the wavelength (lengths or cycles per
  // degree): a range mostly off the data now is no range to come back to.
  double xlo = 0.0, xhi = 0.0, ylo = 0.0, yhi = 0.0;
  if (!curve_extent(back.x1, back.x2, xlo, xhi, ylo, yhi)) return false;
  const double shared = std::min(xhi, back.x2) - std::max(xlo, back.x1);
  if (!(shared >= 0.5 * (back.x2 - back.x1))) return false;
  x1 = back.x1;
  x2 = back.x2;
  y1 = back.y1;
  y2 = back.y2;
  recompute_scale();
  push_limits();
  return true;
}

std::uint32_t for_dr_vw_3::display_bit(int id) {
  // 4247 .. 4254 are the bits 0x010 .. 0x800 in order.
  if (id < view_command::first_display || id > view_command::last_display) return 0;
  return 0x10u << (id - view_command::first_display);
}

void for_dr_vw_3::toggle_display(int id) {
  const std::uint32_t bit = display_bit(id);
  if (!bit) return;
  display_flags.assign(bit, !display_flags.test(bit));
  if (display_flags.test(bit)) {
    if (bit & view_bits::frequency_families) {
      // A transform has its own scale: pinned to its data, and all of it
      // unless the view showed transforms before.
      display_flags.set(view_bits::fix_y1_at_min | view_bits::fix_y2_at_max);
      display_flags.clear(view_bits::profile_families);
      if (!follow_family()) show_all();
    } else {
      display_flags.clear(view_bits::frequency_families);
      // Back from the transforms: the profile as it was last seen.
      const bool switched = limits_family_ != profiles;
      if (!follow_family() && switched) show_all();
    }
  }
  set_title();
  invalidate_all();
}

bool for_dr_vw_3::command(int id) {
  if (display_bit(id)) {
    toggle_display(id);
    return true;
  }
  return TDrawView::command(id);
}

bool for_dr_vw_3::enabler(int id, platform_types::command_state& state) {
  if (const std::uint32_t bit = display_bit(id)) {
    state.enabled = true;
    state.checked = display_flags.test(bit) != 0;
    return true;
  }
  return TDrawView::enabler(id, state);
}

std::string for_dr_vw_3::title_suffix() const { return xy_yobs_3::view_title_suffix(display_flags.bits()); }

void for_dr_vw_3::new_view_from_this() {
  const double left = x1, right = x2;
  if (assoc_class* maker = find(*this, "new_view")) maker->execute();
  view_recs_9* r = view_list(*this);
  TDrawView* focused = r ? r->focused() : nullptr;
  if (!focused || focused == this) return;
  focused->set_x1(left);
  focused->set_x2(right);
  focused->recompute_scale();
  focused->invalidate_all();
}

void for_dr_vw_3::show_families(std::uint32_t bits) {
  display_flags.clear(view_bits::frequency_families | view_bits::profile_families);
  display_flags.set(bits);
  if (bits & view_bits::frequency_families)
    display_flags.set(view_bits::fix_y1_at_min | view_bits::fix_y2_at_max);
  set_title();
  show_all();
  // The limits now are those of the families shown.
  if (const family now = family_of(display_flags.bits()); now != no_family) limits_family_ = now;
}

const std::vector<display_family>& display_families() {
  static const std::vector<display_family> all = {
      {"yobs", show_bits::observed},           {"re", show_bits::transform_re_im},
      {"im", show_bits::transform_re_im},      {"mod", show_bits::transform_mod},
      {"br_re", show_bits::quotient_re_im},    {"br_im", show_bits::quotient_re_im},
      {"br_mod", show_bits::quotient_mod},     {"inv", show_bits::inverse},
      {"deconv", show_bits::deconvoluted},     {"al", show_bits::coefficients},
  };
  return all;
}

std::uint32_t family_bits(const std::vector<std::string>& names) {
  std::uint32_t bits = 0;
  for (const std::string& n : names)
    for (const display_family& f : display_families())
      if (n == f.name) bits |= f.bit;
  return bits;
}

std::string check_families(const std::vector<std::string>& names) {
  for (const std::string& n : names) {
    bool known = false;
    for (const display_family& f : display_families()) known |= n == f.name;
    if (!known) return "unknown family " + n + " (yobs, re, im, mod, br_re, br_im, br_mod, al, inv, deconv)";
  }
  const std::uint32_t bits = family_bits(names);
  if ((bits & view_bits::frequency_families) && (bits & view_bits::profile_families))
    return "transform families (re, im, mod, br_re, br_im, br_mod, al) and profile families (yobs, inv, deconv) "
           "cannot be shown together";
  return "";
}
