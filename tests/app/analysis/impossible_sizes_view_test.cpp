// The graph view's "Size and strain" on a line whose frequency limit cuts
// A(L) far short of its fall: the results window and the history give the
// area-weighted length as not resolved, with the largest length so short a
// fit could resolve, and the volume-weighted one as the lower bound it is,
// instead of a pair of lengths no sample can have.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class ImpossibleSizesView : public Workbench {
 protected:
  assoc_class* file(const std::string& name) {
    for (int i = 0; i < file_count(); ++i)
      if (std::string(find(*files()->child(i), "xDdd_path_name")->get_text()) == demo + name) return files()->child(i);
    return nullptr;
  }
};

TEST_F(ImpossibleSizesView, ALimitFarBelowTheLinesFallGivesBoundsForTheMeanLengthsInTheResultsAndTheHistory) {
  screen.queue_files({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
  screen.user_command(command_id::load_data);
  ASSERT_NE(file("cu111.xdd"), nullptr);
  find(*file("cu111.xdd"), "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
  // Where A(L) has hardly begun to fall: 2 ∫ A dL stays far below ⟨L⟩area.
  find(*file("cu111.xdd"), "fBft_f2_lim")->set_double(20.0);
  screen.user_command(view_command::size_strain);
  EXPECT_TRUE(messages().empty()) << messages().front();
  any_doc_3* doc = text_documents(*app)->active_document();
  ASSERT_NE(doc, nullptr);
  const std::string text = screen.frame(doc->view()->frame())->text;
  EXPECT_EQ(text.rfind("Area-weighted mean column length = not resolved (> ", 0), 0u) << text;
  const std::string volume = "\nVolume-weighted mean column length = > ";
  EXPECT_NE(text.find(volume), std::string::npos) << text;
  EXPECT_NE(text.find("initial slope fitted over L = "), std::string::npos) << "the detail stays:\n" << text;
  auto* history = dynamic_cast<history_dlg_3*>(find(*app, "history_dlg"));
  ASSERT_NE(history, nullptr);
  EXPECT_NE(history->history().find(volume.substr(1)), std::string::npos)
      << history->history();
}

}  // namespace
