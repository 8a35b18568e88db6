// The application session's jobs without a window read the chain as the
// workbench does, without painting a view. A project saved and read back by
// its path, asking for no file, is tried through the batch tool.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/views/TDrawView.h"
#include "xrd/chain/xy_yobs_4.h"
#include "../workbench_fixture.h"

namespace {

class JobsWithoutAWindow : public Workbench {
 protected:
  // A line on a background, in the XDD layout: `rise` counts per point
  // from the first to the last.
  std::string line(const std::string& name, double rise) {
    std::ostringstream text;
    text << "A line\n20 0.5 " << 20 + 0.5 * 39 << "\n2.5 1 1.5406\n";
    for (int i = 0; i < 40; ++i) text << 100 + rise * i + 400.0 / (1 + (i - 17) * (i - 17) / 4.0) << "\n";
    return write(name, text.str());
  }

  static xy_yobs_4& chain(assoc_class* file) { return *dynamic_cast<xy_yobs_4*>(find(*file, "xy_yobs")); }

  struct placed {
    double origin, level, slope;
  };
  static placed placed_in(assoc_class* file) {
    xy_yobs_4& c = chain(file);
    return {c.origin_index(), c.background_level(), c.background_slope()};
  }
};

TEST_F(JobsWithoutAWindow, ASettledFilePlacesTheOriginAndBackgroundThatAPaintedViewPlaces) {
  const struct {
    const char* what;
    double rise;
    const char* typed_origin;  // null: automatic
  } rows[] = {
      {"a line on a flat background", 0.0, nullptr},
      {"a line on a rising background", 3.0, nullptr},
      {"a line on a falling background", -2.0, nullptr},
      {"a line whose origin was typed", 3.0, "25"},
  };
  for (const auto& r : rows) {
    assoc_class* painted = session->load_file(line(std::string("painted_") + r.what + ".xdd", r.rise));
    assoc_class* settled = session->load_file(line(std::string("settled_") + r.what + ".xdd", r.rise));
    ASSERT_TRUE(painted && settled) << r.what;
    if (r.typed_origin)
      for (assoc_class* f : {painted, settled}) find(*f, "fft_zero")->set_text_with_limits(r.typed_origin);
    const double typed = chain(settled).origin_index();
    TDrawView* view = app->new_graph_view();
    view->add_file(painted);
    view->lines_changed();
    screen.user_paints(view->frame());
    std::ostringstream err;
    EXPECT_TRUE(session->settle(*settled, false, err)) << r.what;
    const placed a = placed_in(painted), b = placed_in(settled);
    EXPECT_EQ(a.origin, b.origin) << r.what;
    EXPECT_EQ(a.level, b.level) << r.what;
    EXPECT_EQ(a.slope, b.slope) << r.what;
    EXPECT_EQ(err.str(), "") << r.what;
    if (r.typed_origin) {
      EXPECT_EQ(b.origin, typed) << r.what << ": a typed origin stays";
      EXPECT_NE(typed, xy_yobs_3::unset) << r.what;
    }
    for (assoc_class* f : {painted, settled}) session->unload_file(f);
  }
}

TEST_F(JobsWithoutAWindow, AReportComesFromTheChainWithoutAPaintedView) {
  analysis_request request;
  request.files = {line("a.xdd", 1.0)};
  request.show = {"mod"};
  std::ostringstream err;
  const job_output report = session->report(request, err);
  ASSERT_TRUE(report.made) << err.str();
  EXPECT_EQ(chain(session->loaded_files().front()).runs.origin, 1) << "the origin was placed once";
  EXPECT_GT(chain(session->loaded_files().front()).runs.transform, 0) << "the transform ran for the report";
  EXPECT_NE(report.text.find("a.xdd"), std::string::npos);
  for (const std::string& call : screen.calls()) EXPECT_NE(call.rfind("create_picture", 0), 0u) << "a view was painted";
}

TEST_F(JobsWithoutAWindow, AnAutomaticLimitIsSetOnlyWhenAskedAndOnlyWithAReference) {
  const struct {
    const char* what;
    bool with_reference;
    bool asked;
    bool limit_set;
  } rows[] = {
      {"a file with a reference, asked", true, true, true},
      {"a file with a reference, not asked", true, false, false},
      {"a file without a reference, asked", false, true, false},
  };
  for (const auto& r : rows) {
    assoc_class* sample = session->load_file(line(std::string("s_") + r.what + ".xdd", 0.0));
    assoc_class* reference = session->load_file(line(std::string("r_") + r.what + ".xdd", 0.0));
    ASSERT_TRUE(sample && reference) << r.what;
    if (r.with_reference) {
      ASSERT_TRUE(session->tie_reference(*sample, application_session::path_of(*reference))) << r.what;
    }
    std::ostringstream err;
    session->settle(*sample, r.asked, err);
    EXPECT_EQ(chain(sample).limit_index() != xy_yobs_3::unset, r.limit_set) << r.what << ": " << err.str();
    session->unload_file(sample);
    session->unload_file(reference);
  }
}

}  // namespace
