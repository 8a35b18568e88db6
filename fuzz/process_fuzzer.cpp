// Feeds bytes to the process-string interpreter as one script, run with the
// application object as origin and current object over a small live tree.
// The tree is made afresh for every input from a fixed template whose nodes
// carry every kind of script (creation, execution, deletion, change, take
// data, get) and value (int with limits, double, text, switch, reference),
// an array, a second name scope and free-standing names, so that a script
// can reach every kind of node and set off every kind of nested run.

#include <string>

#include "core/paths.h"
#include "fuzz_support.h"

namespace {

const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      bAox _on_execution { c mAark } ;\n"
    "         iAtem _on_creation { c mAade } _on_execution { r bAox c mAark } ;\n"
    "         gAone _on_deletion { H c mAark ] } ;\n"
    "         wAary _on_deletion { N ^ v } _on_execution { c mAark } ;\n"
    "      mAark ;\n"
    "      mAade ;\n"
    "      AnBval _int _min -5 _max 5 _default 1 _on_change j|nBcount|2 ;\n"
    "      AnBcount _int _default 0 ;\n"
    "      AnBself _int _on_change k|1 ;\n"
    "      AdBbl _double _min 0 _max 1e6 _default 0.5 _on_take_data_4 e|bAox ;\n"
    "      AtBext _char* _default hello _on_change r|bAox|c|mAark ;\n"
    "      AsBw _switch _default 0 ;\n"
    "      AaBref _assoc _on_execution { K c mAark } ;\n"
    "      AgBget _assoc _on_get_a { r bAox } ;\n"
    "      AgBloop _assoc _on_get_a { K } ;\n"
    "      lAist _array ;\n"
    "         AeBlem _int _default 3 _on_change e|bAox ;\n"
    "      sAub _tem_plate #sub ;\n"
    "      zAap _on_execution { t } ;\n"
    "      kAeep _not_to_be_deleted ;\n"
    "      AdData_path _char* ;\n"
    "}\n"
    "{#sub ;\n"
    "   iAnner _on_creation { c dAeep } ;\n"
    "      dAeep ;\n"
    "   AvBal _double _default 2 ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "   pRath_name ;\n"
    "   xOval ;\n"
    "   yNode ;\n"
    "}\n"
    "end_templates\n"
    "start_out_side_recs {\n"
    "   {\"app_name\" {\"fuzz\"}}\n"
    "}\n";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare();
  install_template_side();
  fuzz::load_template_text(templates);
  if (!template_tree().top_level("#app")) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::text_of(data, size);
  {
    fuzz::app_tree tree;
    run_process_text(*tree.app, text.c_str());
  }
  global_error_message().assign("");
  return 0;
}
