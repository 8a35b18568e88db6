#include "xrd/files/xdd_10.h"

#include <string_view>

#include "core/path_and_name_3.h"
#include "core/stream_out.h"
#include "core/template_host.h"
#include "core/text_helpers.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/curves/xy_data_3.h"

std::unique_ptr<assoc_class> xdd_10::clone_empty() const { return clone_like(*this); }

assoc_class* xdd_10::path_node() { return path_.get(*this); }

xdd_data_3* xdd_10::data() { return dynamic_cast<xdd_data_3*>(data_.get(*this)); }

xy_data_3* xdd_10::observed() { return dynamic_cast<xy_data_3*>(yobs_.get(*this)); }

assoc_class* xdd_10::member(const char* name) {
  cached_ref* refs[] = {&path_,   &data_,         &yobs_,        &time_,          &lambda_,
                        &button_, &obs_dis_,      &calc_dis_,    &obs_calc_dis_,  &bkg_dis_,
                        &peak_dis_, &peak_lines_dis_, &ycalc_,   &yo_yc_,         &bkg_,
                        &peaks_};
  for (cached_ref* r : refs) {
    if (!names_equal(r->name(), name)) continue;
    const bool optional = r == &time_ || r == &lambda_;
    return r->get(*this, !optional);
  }
  return nullptr;
}

assoc_class* xdd_10::execute() {
  xdd_data_3* d = data();
  if (!d || !d->execute()) return nullptr;
  assoc_class::execute();
  return this;
}

const my_string& xdd_10::title() {
  assoc_class* p = path_node();
  const char* path = p ? p->get_text() : nullptr;
  title_ = file_title(path ? path : "");
  return title_;
}

const char* xdd_10::get_text() { return title().c_str(); }

void xdd_10::write_for_project(stream_out& out) {
  if (template_flag(tem_bits::not_for_proj)) return;
  assoc_class::write_for_project(out);
  assoc_class* p = path_node();
  const char* path = p ? p->get_text() : nullptr;
  out.put_chars(path ? path : "");
}

my_string xdd_10::description() {
  my_string text = title();
  xy_data_3* p = observed();
  if (!p || p->y.count() == 0) {
    text.append(": no data");
    return text;
  }
  text.append(": ");
  text.append(p->n);
  text.append(p->n == 1 ? " point, " : " points, ");
  text.append(std::string_view(text_of(p->x1)));
  text.append(" to ");
  text.append(std::string_view(text_of(p->x2)));
  if (!p->has_explicit_x()) {
    text.append(", step ");
    text.append(std::string_view(text_of(p->xd)));
  }
  if (assoc_class* t = member("tBime")) {
    text.append(", time ");
    text.append(std::string_view(text_of(t->get_double())));
  }
  if (assoc_class* l = member("lBambda")) {
    text.append(", wavelength ");
    text.append(std::string_view(text_of(l->get_double())));
  }
  return text;
}
