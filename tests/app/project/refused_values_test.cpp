#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/shell/menu_commands.h"
#include "../workbench_fixture.h"

namespace {

using RefusedProjectValues = Workbench;

TEST_F(RefusedProjectValues, LoadingAProjectWithWrongValuesSaysThemInOneMessageAndKeepsEverythingElse) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd");
  const std::string project = (dir / "p.PRJ").string();
  // b's background goes with an origin: without one, showing the file would
  // place both automatically.
  std::ofstream(project) << "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " << a
                         << "\nfBft_f2_lim xdd 12abc\nfBreq_doubler xdd 2\nex_l_consts xdd \nnBpts_i1 ex_l_consts 1e308"
                         << "\nxdd xAdd_recs " << b << "\nfBreq_doubler xdd 2.5\nfft_zero xdd 3\naBo_bkg xdd 7\n";
  screen.queue_files({project});
  app->command(command_id::load_project);

  ASSERT_EQ(file_count(), 2) << "both files load: one wrong value does not stop the project";
  EXPECT_EQ(shown(project + ": values refused, the fields keep their defaults:\n" + a +
                  ": Frequency limit: \"12abc\" is not a number\n" + a +
                  ": Value for Left tail start must be less than 0.0000\n" + b +
                  ": Transform length doubling: \"2.5\" is not a whole number"),
            1)
      << "one message for the whole project";
  EXPECT_EQ(messages().size(), 1u);
  assoc_class* fa = files()->child(0);
  assoc_class* fb = files()->child(1);
  EXPECT_EQ(get_double_named(*fa, "fBft_f2_lim"), -999.0) << "the default: not set";
  EXPECT_EQ(get_int_named(*fa, "fBreq_doubler"), 2) << "the next value of the same file is read";
  EXPECT_EQ(get_double_named(*find(*fa, "ex_l_consts"), "nBpts_i1"), 0.0);
  EXPECT_EQ(get_int_named(*fb, "fBreq_doubler"), 1);
  EXPECT_EQ(get_double_named(*fb, "aBo_bkg"), 7.0);
}

}  // namespace
