// The origin by B(L) in the workbench: chosen for every file from the
// Options dialog, and applied by "Size and strain" before it reads the
// coefficients, on the bundled synthetic copper 111 line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/platform/command_ids.h"
#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "xrd/chain/fft_zero_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class PhaseOriginView : public Workbench {
 protected:
  PhaseOriginView() {
    screen.queue_files({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
    screen.user_command(command_id::load_data);
    view = view_list(*app) ? view_list(*app)->focused() : nullptr;
    sample = file("cu111.xdd");
    if (sample) find(*sample, "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
  }
  assoc_class* file(const std::string& name) {
    for (int i = 0; i < file_count(); ++i)
      if (std::string(find(*files()->child(i), "xDdd_path_name")->get_text()) == demo + name) return files()->child(i);
    return nullptr;
  }
  // Show Options, then a click on the line of that text.
  void choose_option(const std::string& line) {
    screen.user_command(command_id::show_options);
    const platform::dialog_id d = screen.dialog_of_resource(4148);
    const std::vector<std::string>& lines = screen.list_lines(d, 4149);
    const auto at = std::find(lines.begin(), lines.end(), line);
    ASSERT_NE(at, lines.end()) << "the Options dialog offers " << line;
    screen.user_selects(d, 4149, static_cast<int>(at - lines.begin()));
  }
  // The text of the document that Size and strain opens.
  std::string size_strain_text() {
    const std::vector<any_doc_3*> before = text_documents(*app)->documents();
    // The document of an earlier run took the focus: the view gets it back.
    if (view) screen.user_focuses(view->frame());
    screen.user_command(view_command::size_strain);
    for (any_doc_3* doc : text_documents(*app)->documents())
      if (std::find(before.begin(), before.end(), doc) == before.end()) return screen.frame(doc->view()->frame())->text;
    ADD_FAILURE() << "Size and strain opened no document";
    return std::string();
  }
  TDrawView* view = nullptr;
  assoc_class* sample = nullptr;
};

TEST_F(PhaseOriginView, ChoosingTheOriginByBInTheOptionsMovesTheOriginThatSizeAndStrainReports) {
  ASSERT_NE(sample, nullptr);
  ASSERT_NE(view, nullptr) << "Load Data opened a view";
  find(*sample, "fft_zero")->set_text("43.3000");  // typed off the line's 43.3182
  choose_option("Origin where B(L) is smallest");
  for (int i = 0; i < file_count(); ++i)
    EXPECT_EQ(find(*files()->child(i), "fBft_origin")->get_int(), 1) << "every loaded file takes the choice";

  const std::string text = size_strain_text();
  EXPECT_TRUE(messages().empty()) << messages().front();
  const double origin = dynamic_cast<fft_zero_3*>(find(*sample, "fft_zero"))->x_value();
  EXPECT_NEAR(origin, 43.3182, 0.002) << "the file's own origin moved onto the line";
  char line[96];
  std::snprintf(line, sizeof line, "  origin %.4f deg, placed where |B(L)| is smallest: largest |B(L)| ", origin);
  EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;

  choose_option("Origin as placed");
  EXPECT_EQ(find(*sample, "fBft_origin")->get_int(), 0);
  find(*sample, "fft_zero")->set_text("43.3000");
  const std::string typed = size_strain_text();
  EXPECT_NE(typed.find("2theta0 43.3000 deg"), std::string::npos) << "the typed origin is kept:\n" << typed;
  EXPECT_NE(typed.find("origin check: largest |B(L)| over that range "), std::string::npos) << typed;
}

}  // namespace
