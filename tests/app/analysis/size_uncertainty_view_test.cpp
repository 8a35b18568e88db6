// The graph view's "Size and strain" on the bundled copper 111 pair: the
// results window and the history give each length with its standard
// uncertainty, in the summary forms the batch tool prints.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "../workbench_fixture.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class SizeUncertaintyView : public Workbench {
 protected:
  assoc_class* file(const std::string& name) {
    for (int i = 0; i < file_count(); ++i)
      if (std::string(find(*files()->child(i), "xDdd_path_name")->get_text()) == demo + name) return files()->child(i);
    return nullptr;
  }
};

TEST_F(SizeUncertaintyView, TheResultsAndTheHistoryGiveEachLengthWithItsUncertainty) {
  screen.queue_files({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
  screen.user_command(command_id::load_data);
  ASSERT_NE(file("cu111.xdd"), nullptr);
  find(*file("cu111.xdd"), "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
  screen.user_command(view_command::automatic_limit);
  screen.user_command(view_command::size_strain);
  EXPECT_TRUE(messages().empty()) << messages().front();
  any_doc_3* doc = text_documents(*app)->active_document();
  ASSERT_NE(doc, nullptr);
  const std::string text = screen.frame(doc->view()->frame())->text;
  const std::regex with_u("Area-weighted mean column length = [0-9]+\\.[0-9] \u00b1 [0-9]+\\.[0-9] A\\s");
  EXPECT_TRUE(std::regex_search(text, with_u)) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\nScherrer size \\(integral breadth\\) = [0-9.]+ \u00b1 [0-9.]+ A\n")))
      << text;
  EXPECT_NE(text.find("carried to first order from the counting noise"), std::string::npos) << "the detail says whence:\n" << text;
  auto* history = dynamic_cast<history_dlg_3*>(find(*app, "history_dlg"));
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(std::regex_search(history->history(), with_u)) << history->history();
}

}  // namespace
