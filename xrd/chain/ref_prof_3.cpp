#include "xrd/chain/ref_prof_3.h"

#include <cstring>

#include "core/error_message.h"
#include "core/paths.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/chain/xy_yobs_4.h"

namespace {

constexpr const char* self_message = "Cannot assign a reference profile to itself for : ";

ptr_classes_4* tied_list(assoc_class& file) { return dynamic_cast<ptr_classes_4*>(find(file, "xdds_tied_to")); }

void untie(assoc_class* a, assoc_class* b) {
  if (!a || !b) return;
  if (ptr_classes_4* l = tied_list(*a)) l->remove_reference(b);
  if (ptr_classes_4* l = tied_list(*b)) l->remove_reference(a);
}

}  // namespace

std::unique_ptr<assoc_class> ref_prof_3::clone_empty() const { return clone_like(*this); }

assoc_class* ref_prof_3::own_file() { return self_or_ancestor_named("xdd"); }

assoc_class* ref_prof_3::loaded_file(const char* text) {
  assoc_class* mine = own_file();
  assoc_class* list = find_existing(*this, "xAdd_recs");
  if (!list && mine) list = mine->parent();
  if (!list) return nullptr;
  for (int i = 0; i < list->child_count(); ++i) {
    assoc_class* file = list->child(i);
    if (!file) continue;
    if (!file->is_named("xdd")) file = file->get_object();
    if (!file) continue;
    assoc_class* path = find_existing(*file, "xDdd_path_name");
    const char* p = path ? path->get_text() : nullptr;
    if (p && std::strcmp(p, text) == 0) return file;
  }
  return nullptr;
}

void ref_prof_3::tie(assoc_class* other) {
  assoc_class* mine = own_file();
  if (mine) {
    if (ptr_classes_4* l = tied_list(*mine)) l->add_reference(other);
    if (ptr_classes_4* l = tied_list(*other)) l->add_reference(mine);
  }
  link(other, &file_);
  if (assoc_class* p = find_existing(*other, "xDdd_path_name")) link(p, &path_);
  if (auto* y = dynamic_cast<xy_yobs_4*>(find(*other, "xy_yobs"))) link(y, &yobs_);
  ++assignments;
}

void ref_prof_3::detach() {
  if (file_.get()) {
    untie(own_file(), file_.get());
    ++assignments;
  }
  unlink(&file_);
  unlink(&path_);
  unlink(&yobs_);
}

void ref_prof_3::redraw_own_file() {
  assoc_class* mine = own_file();
  if (assoc_class* views = find(mine ? *mine : *this, "invalidate_if_on")) views->execute_with(mine);
}

int ref_prof_3::assign(const char* text) {
  ensure_init();
  if (!text) text = "";
  int result = 0;
  if (!*text) {
    detach();
    funs().from_text(value_, "");
  } else {
    // The text may be this node's own value, which the next line replaces.
    const my_string wanted(text);
    funs().from_text(value_, wanted.c_str());
    assoc_class* match = loaded_file(wanted.c_str());
    if (match && match == own_file()) {
      global_error_message().append(self_message).append(wanted.c_str());
      show_error(this);
      match = nullptr;
    }
    if (match) {
      detach();
      tie(match);
    } else {
      detach();
      funs().from_text(value_, "");
      result = 2;
    }
  }
  redraw_own_file();
  run_change_hook();
  return result;
}

assoc_class* ref_prof_3::set_text(const char* text) {
  assign(text);
  return this;
}

int ref_prof_3::set_text_with_limits(const char* text) {
  ensure_init();
  if (!text) text = "";
  if (*text) {
    // A person who names a file that is not there, or this very file, has
    // mistyped: say so and keep the reference there was.
    const my_string wanted(text);
    assoc_class* match = loaded_file(wanted.c_str());
    if (!match || match == own_file()) {
      if (match)
        global_error_message().append(self_message).append(wanted.c_str());
      else
        global_error_message()
            .append(message_name().c_str())
            .append(": \"")
            .append(wanted.c_str())
            .append("\" is not a loaded data file");
      show_error(this);
      return 2;
    }
  }
  const int result = assign(text);
  run_take_data_hook();
  return result;
}

xy_yobs_4* ref_prof_3::reference_profile() {
  if (!yobs_.get()) {
    ensure_init();
    const char* text = get_text();
    if (text && *text) {
      assoc_class* match = loaded_file(text);
      if (match && match != own_file() && match != file_.get()) {
        detach();
        tie(match);
      }
    }
  }
  return dynamic_cast<xy_yobs_4*>(yobs_.get());
}
