#include "app/text/txt_docs_3.h"

#include <cstdint>

#include "app/platform/command_ids.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "template/get_objs_3.h"

namespace {

using namespace file_dialog_flags;

constexpr std::uint32_t open_flags = hide_read_only | path_must_exist | file_must_exist | no_read_only_return;
constexpr std::uint32_t save_flags = overwrite_prompt | hide_read_only | path_must_exist | no_read_only_return;

// A registered class when the registry has one of that kind, else T itself.
template <class T>
std::unique_ptr<assoc_class> make_registered(const char* name) {
  std::unique_ptr<assoc_class> made = create_registered(name);
  if (!dynamic_cast<T*>(made.get())) made = std::make_unique<T>();
  return made;
}

}  // namespace

txt_docs_3* text_documents(assoc_class& from) { return dynamic_cast<txt_docs_3*>(find(from, "txt_docs")); }

any_vw_3* txt_docs_3::open_document(const std::string& title, const std::string& path,
                                    const text_file_content& content) {
  std::unique_ptr<assoc_class> made_doc = make_registered<any_doc_3>("any_doc");
  auto* doc = static_cast<any_doc_3*>(made_doc.get());
  doc->set_path(path);
  doc->set_ends(content.ends);
  doc->set_title(title);
  node_watch doc_there(add_child(std::move(made_doc)));
  std::unique_ptr<assoc_class> made_view = make_registered<any_vw_3>("any_vw");
  auto* view = static_cast<any_vw_3*>(made_view.get());
  node_watch view_there(doc_there ? doc->add_child(std::move(made_view)) : nullptr);
  if (!view_there || !view->open_window(title)) {
    if (doc_there) delete_child(doc);
    global_error_message().append("Unable to create view");
    show_error(this);
    return nullptr;
  }
  view->set_text(content.text);
  return view;
}

std::vector<any_doc_3*> txt_docs_3::documents() const {
  std::vector<any_doc_3*> docs;
  for (int i = 0; i < child_count(); ++i)
    if (auto* d = dynamic_cast<any_doc_3*>(child(i))) docs.push_back(d);
  return docs;
}

any_doc_3* txt_docs_3::active_document() const {
  platform* p = current_platform();
  const platform::frame_id active = p ? p->active_frame() : 0;
  if (!active) return nullptr;
  for (any_doc_3* d : documents())
    if (any_vw_3* v = d->view(); v && v->frame() == active) return d;
  return nullptr;
}

void txt_docs_3::command(int id) {
  switch (id) {
    case command_id::load_txt:
      load();
      return;
    case command_id::save_txt:
      if (any_doc_3* doc = active_document()) save(*doc);
      return;
    case command_id::save_txt_as:
      if (any_doc_3* doc = active_document()) save_as(*doc);
      return;
    default:
      return;
  }
}

bool txt_docs_3::enabled(int id) const {
  switch (id) {
    case command_id::load_txt:
      return true;
    case command_id::save_txt:
    case command_id::save_txt_as:
      return active_document() != nullptr;
    default:
      return false;
  }
}

any_vw_3* txt_docs_3::load() {
  if (!dialog_.run_dialog(open_flags, "*.TXT", "", "TXT", this, platform_types::window_ref::main_window(), "Open",
                          false) ||
      dialog_.chosen_paths().empty())
    return nullptr;
  const std::string path = dialog_.chosen_paths().front();
  text_file_content content;
  std::string why;
  if (!read_text_file(path, content, why)) {
    global_error_message().append(why.c_str());
    show_error(this);
    return nullptr;
  }
  return open_document(any_doc_3::file_title(path), path, content);
}

bool txt_docs_3::save(any_doc_3& doc) {
  if (doc.path().empty()) return save_as(doc);
  return doc.save_to(doc.path());
}

bool txt_docs_3::save_as(any_doc_3& doc) {
  // The dialog proposes the document's file, or a file named after its title.
  const std::string proposed = doc.path().empty() ? doc.title() + ".TXT" : doc.path();
  node_watch still_there(&doc);
  if (!dialog_.run_dialog(save_flags, proposed.c_str(), "", "TXT", this, platform_types::window_ref::main_window(),
                          "Save As", true) ||
      dialog_.chosen_paths().empty() || !still_there)
    return false;
  return doc.save_to(dialog_.chosen_paths().front());
}

bool txt_docs_3::can_close() {
  // A question's script may take documents away while the others wait.
  std::vector<std::unique_ptr<node_watch>> waiting;
  for (any_doc_3* doc : documents()) waiting.push_back(std::make_unique<node_watch>(doc));
  for (const auto& w : waiting)
    if (auto* doc = dynamic_cast<any_doc_3*>(w->get()); doc && !doc->may_close()) return false;
  return true;
}
