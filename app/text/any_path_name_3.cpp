#include "app/text/any_path_name_3.h"

#include <string>

#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "core/error_message.h"
#include "core/node_watch.h"

assoc_class* any_path_name_3::execute() {
  const char* text = get_text();
  const std::string title = text ? text : "";
  txt_docs_3* docs = text_documents(*this);
  any_vw_3* view = docs ? docs->open_document(title, "", text_file_content{}) : nullptr;
  if (!docs) {
    global_error_message().append("Unable to create view");
    show_error(this);
  }
  if (const field_description* f = field(); f && f->has(field_bits::def)) set_text(f->def.c_str());
  if (!view) return nullptr;
  node_watch still_there(view);
  assoc_class::execute();
  return still_there.get();
}
