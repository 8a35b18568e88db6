// A numerical stage that gives up ends the action that asked for it, with
// its message: the workbench goes on with the next action, the batch tool
// ends the command with the status 1. The tail fit is made to fail as only
// an origin that is not a number can make it (the origin's value is set
// behind the options' checks, which refuse such a value).
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "cli/batch_tool.h"
#include "app/shell/menu_commands.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/for_dr_vw_3.h"
#include "core/numeric_abort.h"
#include "numerics/svd.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/plot_view.h"
#include "xrd/sizes/line_analysis.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/";

class NumericAbort : public Workbench {
 protected:
  // Load Data with the demo's broadened line and its instrument, in one
  // view; the instrument becomes the line's reference and the line's left
  // tail is extrapolated from a fit.
  void load_pair() {
    screen.queue_files({demo + "broadened.xdd", demo + "instrument.xdd"});
    screen.user_command(command_id::load_data);
    ASSERT_EQ(file_count(), 2);
    sample = files()->child(0);
    find(*sample, "ref_prof")->set_text_with_limits((demo + "instrument.xdd").c_str());
    assoc_class* tail = find(*sample, "ex_l_consts");
    ASSERT_NE(tail, nullptr);
    for (const char* setting : {"nBpts_i1=-20", "eBxtr_a1_use=1", "eBxtr_a2_use=1"}) {
      const std::string s = setting;
      find(*tail, s.substr(0, s.find('=')).c_str())->set_text_with_limits(s.substr(s.find('=') + 1).c_str());
    }
  }
  // The origin no option accepts: the tail fit's design becomes NaN.
  void break_the_origin() { find(*sample, "fft_zero")->set_double(std::numeric_limits<double>::quiet_NaN()); }
  xy_yobs_4& chain() { return *dynamic_cast<xy_yobs_4*>(find(*sample, "xy_yobs")); }

  assoc_class* sample = nullptr;
};

TEST_F(NumericAbort, AMenuCommandWhoseTailFitCannotConvergeEndsWithTheMessageAndTheWorkbenchGoesOn) {
  load_pair();
  break_the_origin();
  screen.user_command(view_command::size_strain);
  ASSERT_EQ(shown(svd_no_convergence_message), 1) << "once, from the command that asked";
  EXPECT_EQ(file_count(), 2) << "nothing unloaded";

  // The next actions run: the origin set right again, the same command
  // gives its results.
  find(*sample, "fft_zero")->set_text_with_limits("-999");
  find(*find(*sample, "ex_l_consts"), "nBpts_i1")->set_text_with_limits("-21");
  const std::size_t before = messages().size();
  screen.user_command(view_command::size_strain);
  EXPECT_EQ(messages().size(), before) << messages().back();
  any_doc_3* doc = text_documents(*app)->active_document();
  EXPECT_NE(doc, nullptr) << "the results' document opened";
}

TEST_F(NumericAbort, APaintingViewWhoseTailFitCannotConvergeSaysSoAndPaintsAgainLater) {
  load_pair();
  TDrawView* view = app->focused_view();
  ASSERT_NE(view, nullptr);
  dynamic_cast<for_dr_vw_3*>(view)->show_families(show_bits::transform_mod);
  screen.user_paints(view->frame());
  ASSERT_TRUE(messages().empty()) << messages().front();
  break_the_origin();
  find(*find(*sample, "ex_l_consts"), "nBpts_i1")->set_text_with_limits("-22");  // a refit is due
  screen.user_paints(view->frame());
  EXPECT_EQ(shown(svd_no_convergence_message), 1);
  screen.user_paints(view->frame());
  EXPECT_EQ(shown(svd_no_convergence_message), 1) << "the fit is not tried again until something changes";
  EXPECT_FALSE(screen.user_paints(view->frame()).empty()) << "the view still paints";
}

TEST_F(NumericAbort, ABatchCommandWhoseTailFitCannotConvergeExitsOneWithTheMessage) {
  load_pair();
  break_the_origin();
  std::ostringstream out, err;
  const int status = run_batch_command(
      [&] {
        const line_analysis a = analyse_line(chain());
        out << a.size.length;
        return 0;
      },
      err);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.str(), std::string(svd_no_convergence_message) + "\n");
  EXPECT_EQ(out.str(), "") << "no result";
  EXPECT_EQ(run_batch_command([] { return 0; }, err), 0) << "a command that finishes keeps its status";
}

}  // namespace
