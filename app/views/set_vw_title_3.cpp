#include "app/views/set_vw_title_3.h"

#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "xrd/chain/show_bits.h"

assoc_class* set_vw_title_3::execute() {
  auto* view = dynamic_cast<TDrawView*>(get_object());
  if (!view) view = dynamic_cast<TDrawView*>(ancestor_named("drvw"));
  if (!view) {
    view_recs_9* views = view_list(*this);
    view = views ? views->focused() : nullptr;
  }
  if (view) view->set_title();
  return assoc_class::execute();
}

std::string families_title_suffix(std::uint32_t bits) {
  std::string s;
  if (bits & show_bits::frequency_families) {
    if (bits & (show_bits::transform_re_im | show_bits::transform_mod)) s += ",FT(Yo),";
    if (bits & (show_bits::quotient_re_im | show_bits::quotient_mod)) s += ",FT(Yo)/FT(Ref)";
    if (bits & show_bits::coefficients) s += ",A(L)";
    return s;
  }
  if (bits & show_bits::observed) s += ",Yo";
  if (bits & show_bits::inverse) s += ",Inv";
  if (bits & show_bits::deconvoluted) s += ",Dec";
  return s;
}
