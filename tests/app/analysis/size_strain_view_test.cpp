// The graph view's "Size and strain" and "Automatic frequency limit" commands
// on the bundled synthetic copper lines (an area-weighted column length of
// 200 Å and an rms strain of 1.0e-3), as a person reaches them from the menu.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "app/analysis/size_strain_command.h"
#include "xrd/plots/plot_view.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class SizeStrainView : public Workbench {
 protected:
  // Load Data with the files, in one view.
  void load(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& n : names) paths.push_back(demo + n);
    screen.queue_files(paths);
    screen.user_command(command_id::load_data);
  }
  assoc_class* file(const std::string& name) {
    for (int i = 0; i < file_count(); ++i)
      if (std::string(find(*files()->child(i), "xDdd_path_name")->get_text()) == demo + name) return files()->child(i);
    return nullptr;
  }
  void tie(const std::string& sample, const std::string& reference) {
    ASSERT_NE(file(sample), nullptr) << sample;
    find(*file(sample), "ref_prof")->set_text_with_limits((demo + reference).c_str());
  }
  std::string document_text() {
    any_doc_3* doc = text_documents(*app)->active_document();
    return doc ? screen.frame(doc->view()->frame())->text : std::string();
  }
};

TEST_F(SizeStrainView, TwoOrdersOpenTheirResultsInATextDocumentAndTheHistory) {
  load({"cu111.xdd", "cu111_ref.xdd", "cu222.xdd", "cu222_ref.xdd"});
  tie("cu111.xdd", "cu111_ref.xdd");
  tie("cu222.xdd", "cu222_ref.xdd");
  screen.user_command(view_command::automatic_limit);
  EXPECT_GT(find(*file("cu111.xdd"), "fBft_f2_lim")->get_double(), 100.0) << "the limit marker moved";
  EXPECT_EQ(find(*file("cu111_ref.xdd"), "fBft_f2_lim")->get_double(), -999.0) << "a reference keeps its own";
  screen.user_command(view_command::size_strain);
  EXPECT_TRUE(messages().empty()) << messages().front();
  const std::string text = document_text();
  EXPECT_EQ(text.rfind("Area-weighted mean column length = ", 0), 0u) << text;
  EXPECT_NE(text.find("RMS strain at L = 50 A = "), std::string::npos) << text;
  EXPECT_EQ(text_documents(*app)->active_document()->title(), "Size and strain");
  auto* history = dynamic_cast<history_dlg_3*>(find(*app, "history_dlg"));
  ASSERT_NE(history, nullptr);
  EXPECT_NE(history->history().find("Reconvolution R = "), std::string::npos) << history->history();
  EXPECT_EQ(history->history().find("eps_rms"), std::string::npos) << "the table stays in the document";
}

TEST_F(SizeStrainView, WhatCannotBeAnalysedIsSaidAndOpensNothing) {
  const struct {
    const char* what;
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> ties;
    const char* says;
  } rows[] = {
      {"no reference", {"cu111.xdd"}, {}, "Size and strain: no file of this view has a reference profile"},
      {"three samples",
       {"cu111.xdd", "cu111_ref.xdd", "cu222.xdd", "cu222_ref.xdd"},
       {{"cu111.xdd", "cu111_ref.xdd"}, {"cu222.xdd", "cu222_ref.xdd"}, {"cu222_ref.xdd", "cu111_ref.xdd"}},
       "this view has 3 files with a reference"},
  };
  for (const auto& r : rows) {
    while (file_count() > 0) files()->delete_child(files()->child(0));
    screen.clear_calls();
    load(r.files);
    for (const auto& [sample, reference] : r.ties) tie(sample, reference);
    screen.user_command(view_command::size_strain);
    ASSERT_EQ(messages().size(), 1u) << r.what;
    EXPECT_NE(messages().front().find(r.says), std::string::npos) << r.what << ": " << messages().front();
    EXPECT_EQ(text_documents(*app)->documents().size(), 0u) << r.what;
  }
}

// A surface that keeps the curves drawn on it.
struct kept_curves : plot_surface {
  void polyline(const double*, const double*, int) override {}
  void segment(double, double, double, double) override {}
  void curve(const double* x, const double* y, int n, const curve_look& look) override {
    drawn.push_back({std::vector<double>(x, x + n), std::vector<double>(y, y + n), look.line_style});
  }
  struct one {
    std::vector<double> x, y;
    curve_look::style style;
  };
  std::vector<one> drawn;
};

TEST_F(SizeStrainView, TheCoefficientsFamilyOfTwoOrdersDrawsTheirSizePartDashed) {
  load({"cu111.xdd", "cu111_ref.xdd", "cu222.xdd", "cu222_ref.xdd"});
  auto* view = view_list(*app)->last_view();
  ASSERT_NE(view, nullptr);
  kept_curves none;
  draw_size_coefficients(*view, none);
  EXPECT_TRUE(none.drawn.empty()) << "no file has a reference yet";
  tie("cu111.xdd", "cu111_ref.xdd");
  tie("cu222.xdd", "cu222_ref.xdd");
  kept_curves s;
  draw_size_coefficients(*view, s);
  ASSERT_EQ(s.drawn.size(), 1u);
  const kept_curves::one& as = s.drawn.front();
  EXPECT_EQ(as.style, curve_look::style::dash);
  ASSERT_GT(as.x.size(), 100u);
  // Each order is divided by its fit carried back to L = 0, which leaves the
  // measured point at L = 0 (the hook) near 1 rather than on it.
  EXPECT_NEAR(as.y.front(), 1.0, 0.02) << "A^S(0)";
  // A^S(L) of the bundled lines is exp(-L / 200 A), within the noise.
  for (std::size_t i = 0; i < as.x.size() && as.x[i] < 100.0; ++i)
    EXPECT_NEAR(as.y[i], std::exp(-as.x[i] / 200.0), 0.03) << "L " << as.x[i];
}

}  // namespace
