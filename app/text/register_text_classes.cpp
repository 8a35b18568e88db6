#include "app/text/text_classes.h"

#include "app/text/any_doc_3.h"
#include "app/text/any_path_name_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/font_3.h"
#include "app/text/font_strike_out_3.h"
#include "app/text/txt_docs_3.h"
#include "template/get_objs_3.h"

void register_text_classes() {
  register_class<font_3>("font");
  register_class<font_strike_out_3>("font_strike_out");
  register_class<txt_docs_3>("txt_docs");
  register_class<any_doc_3>("any_doc");
  register_class<any_vw_3>("any_vw");
  register_class<any_path_name_3>("any_path_name");
}
