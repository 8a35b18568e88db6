#include "app/text/any_doc_3.h"

#include <filesystem>

#include "app/text/any_vw_3.h"
#include "core/error_message.h"
#include "core/paths.h"

void any_doc_3::set_title(const std::string& title) {
  title_ = title;
  if (any_vw_3* v = view()) v->set_title(title);
}

any_vw_3* any_doc_3::view() const {
  for (int i = 0; i < child_count(); ++i)
    if (auto* v = dynamic_cast<any_vw_3*>(child(i))) return v;
  return nullptr;
}

bool any_doc_3::modified() const {
  any_vw_3* v = view();
  return v && v->modified();
}

std::string any_doc_3::shown_name() const { return path_.empty() ? title_ : path_; }

bool any_doc_3::may_close() {
  if (!modified()) return true;
  assoc_class* question = find(*this, "yes_no_dlg");
  if (!question) return false;
  const std::string ask = "File : " + shown_name() + " has been Modified.\n Close Anyway ?";
  question->set_text(ask.c_str());
  question->execute();
  const char* answer = question->get_text();
  return answer && answer[0] == 'Y';
}

bool any_doc_3::save_to(const std::string& path) {
  any_vw_3* v = view();
  if (!v) return false;
  std::string why;
  if (!write_text_file(path, v->text(), ends_, why)) {
    global_error_message().append(why.c_str());
    show_error(this);
    return false;
  }
  path_ = path;
  set_title(file_title(path));
  v->set_modified(false);
  return true;
}

std::string any_doc_3::file_title(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}
