#include "app/project/set_proj_dirty_3.h"

#include "core/paths.h"

std::unique_ptr<assoc_class> set_proj_dirty_3::clone_empty() const { return clone_like(*this); }

bool set_proj_dirty_3::has_project() {
  // Looked up without creating: reading the flag must not build the tree.
  assoc_class* path = find_existing(*this, "pDroj_path_name");
  const char* text = path ? path->get_text() : nullptr;
  return text && *text;
}

void set_proj_dirty_3::clear_if_no_project() {
  if (!has_project()) funs().from_int(value_, 0);
}

void set_proj_dirty_3::apply_reset_rule() {
  ensure_init();
  if (funs().as_int(value_) == 0) return;
  assoc_class* files = find_existing(*this, "xAdd_recs");
  if (!has_project() || !files || files->child_count() == 0) set_int(0);
}

assoc_class* set_proj_dirty_3::set_int(int n) { return fund_type_3::set_int(has_project() ? n : 0); }

assoc_class* set_proj_dirty_3::set_double(double x) {
  if (!has_project()) return fund_type_3::set_int(0);
  return fund_type_3::set_double(x);
}

assoc_class* set_proj_dirty_3::set_text(const char* text) {
  if (!has_project()) return fund_type_3::set_int(0);
  return fund_type_3::set_text(text);
}

assoc_class* set_proj_dirty_3::set_char(char c) {
  if (!has_project()) return fund_type_3::set_int(0);
  return fund_type_3::set_char(c);
}

int set_proj_dirty_3::set_text_with_limits(const char* text) {
  return fund_type_3::set_text_with_limits(has_project() ? text : "0");
}

assoc_class* set_proj_dirty_3::assign_value(assoc_class& node) {
  fund_type_3::assign_value(node);
  clear_if_no_project();
  return this;
}

bool set_proj_dirty_3::read_value(stream_in& in) {
  const bool read = fund_type_3::read_value(in);
  clear_if_no_project();
  return read;
}

int set_proj_dirty_3::get_int() {
  apply_reset_rule();
  return fund_type_3::get_int();
}

double set_proj_dirty_3::get_double() {
  apply_reset_rule();
  return fund_type_3::get_double();
}

const char* set_proj_dirty_3::get_text() {
  apply_reset_rule();
  return fund_type_3::get_text();
}
