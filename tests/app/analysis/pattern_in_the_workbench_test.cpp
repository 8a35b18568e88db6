// Analyse Pattern, Analyse this Line and Clear Line Marks, as a person
// reaches them from the menu of a view showing the real D8 iron pattern,
// against an instrument function made from the real D8 LaB6 pattern.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/analysis/line_marks.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/platform/command_ids.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "app/views/williamson_hall_window.h"
#include "xrd/chain/show_bits.h"
#include "xrd/chain/xy_yobs_4.h"

namespace {

const std::string fe_sample = XRDF_TEST_DATA "/d8_fe_sample.csv";
const std::string lab6_standard = XRDF_TEST_DATA "/d8_lab6_standard.csv";
constexpr int lattice_edit = 4272;
constexpr double pi = 3.14159265358979323846;

// Where a reflection of bcc iron (a = 2.8665 Å) stands for Cu K-alpha1:
// Bragg's law with d = a / √(h² + k² + l²).
double iron_two_theta(int h, int k, int l) {
  const double d = 2.8665 / std::sqrt(h * h + k * k + l * l);
  return 2.0 * std::asin(1.5406 / (2.0 * d)) * 180.0 / pi;
}

class PatternInTheWorkbench : public Workbench {
 protected:
  PatternInTheWorkbench() {
    instrument = (dir / "d8_lab6.txt").string();
    std::ostringstream err;
    EXPECT_TRUE(session->instrument(lab6_standard, 1, "sc:4.1569", instrument, err).made) << err.str();
  }

  TDrawView* load_iron() {
    screen.queue_files({fe_sample});
    screen.user_command(command_id::load_data);
    return view_list(*app)->focused();
  }
  // Analyse Pattern with the instrument file and the lattice the user gives.
  void analyse(const std::string& with, const std::string& lattice) {
    screen.queue_files({with});
    screen.queue_modal(true, [this, lattice](platform::dialog_id d) { screen.user_types(d, lattice_edit, lattice); });
    screen.user_command(view_command::analyse_pattern);
  }
  std::string history() {
    auto* h = dynamic_cast<history_dlg_3*>(find(*app, "history_dlg"));
    return h ? h->history() : std::string();
  }
  std::vector<std::string> labels(TDrawView& view) {
    std::vector<std::string> out;
    for (const line_mark& m : line_marks_of(view)) out.push_back(m.label);
    return out;
  }
  // The frame whose title is `title`, or 0.
  platform::frame_id frame_titled(const std::string& title) {
    for (platform::frame_id f = 1; f <= screen.last_frame(); ++f)
      if (screen.frame(f) && screen.frame(f)->exists && screen.frame(f)->title == title) return f;
    return 0;
  }
  static bool drew_text(const std::vector<std::string>& calls, const std::string& text) {
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) {
      return c.rfind("text ", 0) == 0 && c.find("'" + text + "'") != std::string::npos;
    });
  }
  assoc_class* loaded(const std::string& path) {
    for (int i = 0; i < file_count(); ++i)
      if (std::string(find(*files()->child(i), "xDdd_path_name")->get_text()) == path) return files()->child(i);
    return nullptr;
  }

  bool documents_open() { return !text_documents(*app)->documents().empty(); }

  std::string instrument;
};

TEST_F(PatternInTheWorkbench, AnalysingTheIronPatternOpensItsResultsMarksItsLinesAndDrawsWilliamsonHall) {
  TDrawView* view = load_iron();
  ASSERT_NE(view, nullptr);
  analyse(instrument, "bcc:2.8665");
  ASSERT_TRUE(messages().empty()) << messages().front();

  // The results, in a document of their own.
  any_doc_3* doc = text_documents(*app)->active_document();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->title(), "Pattern analysis: d8_fe_sample.csv");
  const std::string text = screen.frame(doc->view()->frame())->text;
  EXPECT_NE(text.find("\nWilliamson-Hall volume-weighted size = "), std::string::npos) << text;
  EXPECT_NE(text.find("Instrument function: read from " + instrument), std::string::npos);
  // The Williamson-Hall lines in the history, named after the file.
  EXPECT_NE(history().find("d8_fe_sample.csv: Williamson-Hall volume-weighted size = "), std::string::npos)
      << history();
  EXPECT_NE(history().find("d8_fe_sample.csv: Williamson-Hall rms strain = "), std::string::npos) << history();

  // Every iron line marked with its hkl where Bragg's law puts it.
  const struct {
    const char* label;
    int h, k, l;
  } iron[] = {{"110", 1, 1, 0}, {"200", 2, 0, 0}, {"211", 2, 1, 1}, {"220", 2, 2, 0}, {"310", 3, 1, 0}};
  const std::vector<line_mark> marks = line_marks_of(*view);
  ASSERT_EQ(marks.size(), 5u) << ::testing::PrintToString(labels(*view));
  for (std::size_t i = 0; i < marks.size(); ++i) {
    EXPECT_EQ(marks[i].label, iron[i].label);
    EXPECT_NEAR(marks[i].two_theta, iron_two_theta(iron[i].h, iron[i].k, iron[i].l), 0.05) << iron[i].label;
  }
  // And on the screen: each label drawn, over its line.
  const std::vector<std::string> painted = screen.user_paints(view->frame());
  for (const auto& line : iron) EXPECT_TRUE(drew_text(painted, line.label)) << line.label;

  // The Williamson-Hall window, its figure drawn with the lines' labels.
  const platform::frame_id wh = frame_titled("d8_fe_sample.csv: Williamson-Hall");
  ASSERT_NE(wh, 0);
  const williamson_hall_figure_data* figure = williamson_hall_window_figure(wh);
  ASSERT_NE(figure, nullptr);
  ASSERT_FALSE(figure->series.empty());
  EXPECT_EQ(figure->series.front().labels.size(), 5u);
  const std::vector<std::string> drawn = screen.user_paints(wh);
  EXPECT_TRUE(drew_text(drawn, "d8_fe_sample.csv: Williamson-Hall"));
  for (const auto& line : iron) EXPECT_TRUE(drew_text(drawn, line.label)) << line.label;
}

TEST_F(PatternInTheWorkbench, TheMarksGoWhenClearedWhenTheCountsChangeAndAreReplacedByTheNextRun) {
  TDrawView* view = load_iron();
  ASSERT_NE(view, nullptr);
  analyse(instrument, "bcc:2.8665");
  ASSERT_EQ(line_marks_of(*view).size(), 5u);
  screen.user_activates(view->frame());
  screen.user_command(view_command::clear_line_marks);
  EXPECT_TRUE(line_marks_of(*view).empty());
  EXPECT_FALSE(drew_text(screen.user_paints(view->frame()), "110"));

  // Without a lattice the lines are marked by their angles; the run
  // replaces the marks it finds.
  analyse(instrument, "bcc:2.8665");
  screen.user_activates(view->frame());
  analyse(instrument, "");
  ASSERT_TRUE(messages().empty()) << messages().front();
  const std::vector<line_mark> unindexed = line_marks_of(*view);
  ASSERT_EQ(unindexed.size(), 5u);
  EXPECT_NE(unindexed.front().label.find(" deg"), std::string::npos) << unindexed.front().label;

  auto* counts = dynamic_cast<xy_yobs_4*>(find(*view->files().front(), "xy_yobs"));
  ASSERT_NE(counts, nullptr);
  counts->y[counts->y.base() + 10] += 100.0f;
  EXPECT_TRUE(line_marks_of(*view).empty()) << "the marks were of the counts before";
}

TEST_F(PatternInTheWorkbench, AnExportedFigureCarriesTheMarks) {
  TDrawView* view = load_iron();
  ASSERT_NE(view, nullptr);
  analyse(instrument, "bcc:2.8665");
  screen.user_activates(view->frame());
  const std::string svg = (dir / "iron.svg").string();
  screen.queue_files({svg});
  screen.queue_figure_size(platform_types::figure_size{800, 500, 96});
  screen.user_command(view_command::export_figure);
  ASSERT_TRUE(messages().empty()) << messages().front();
  const std::string drawing = contents(svg);
  for (const char* label : {">110<", ">200<", ">211<", ">220<", ">310<"})
    EXPECT_NE(drawing.find(label), std::string::npos) << label;
}

TEST_F(PatternInTheWorkbench, WhatCannotBeAnalysedIsSaidNamingTheFileAndChangesNothing) {
  const std::string damaged = write("damaged.txt", "# xrdfourier instrument function\nU = many\n");
  // The same instrument, said to be made for Mo K-alpha1.
  std::string text = contents(instrument);
  text = std::regex_replace(text, std::regex("lambda1 = [0-9.]+"), "lambda1 = 0.70932");
  const std::string molybdenum = write("mo.txt", text);
  // The lattice is asked for only once the instrument is accepted.
  const struct {
    const char* what;
    std::string with;
    const char* lattice;  // null: not asked
    std::string says;
  } rows[] = {
      {"a damaged instrument file", damaged, nullptr, damaged},
      {"an instrument of another wavelength", molybdenum, nullptr, molybdenum},
      {"a lattice that indexes no line", instrument, "diamond:1.5", fe_sample + ": the lattice diamond:1.5 indexes none"},
      {"a lattice that is no lattice", instrument, "bcc:iron", "the lattice \"bcc:iron\" is refused"},
  };
  TDrawView* view = load_iron();
  ASSERT_NE(view, nullptr);
  for (const auto& r : rows) {
    screen.clear_calls();
    if (r.lattice) {
      analyse(r.with, r.lattice);
    } else {
      screen.queue_files({r.with});
      screen.user_command(view_command::analyse_pattern);
    }
    ASSERT_EQ(messages().size(), 1u)
        << r.what << ": " << (documents_open() ? screen.frame(screen.active_frame())->text : std::string());
    EXPECT_NE(messages().front().find(r.says), std::string::npos) << r.what << ": " << messages().front();
    EXPECT_TRUE(text_documents(*app)->documents().empty()) << r.what;
    EXPECT_TRUE(line_marks_of(*view).empty()) << r.what;
    EXPECT_EQ(frame_titled("d8_fe_sample.csv: Williamson-Hall"), 0) << r.what;
  }
  EXPECT_EQ(screen.pending_answers(), 0u);
  // Cancelling the file dialog asks nothing more and says nothing.
  screen.clear_calls();
  screen.queue_file_cancel();
  screen.user_command(view_command::analyse_pattern);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(file_count(), 1);
}

TEST_F(PatternInTheWorkbench, AnalysingOneLineMakesItsFileTiedToASynthesisedReferenceShownDeconvolutedAndAsAL) {
  TDrawView* pattern = load_iron();
  ASSERT_NE(pattern, nullptr);
  analyse(instrument, "bcc:2.8665");
  const std::size_t views_before = view_list(*app)->views().size();
  screen.user_activates(pattern->frame());
  pattern->set_x1(43.0);
  pattern->set_x2(46.5);
  screen.user_command(view_command::analyse_line);
  ASSERT_TRUE(messages().empty()) << messages().front();

  // The file of the range, named after the line, tied to its reference.
  const std::string line_path = (std::filesystem::path(fe_sample).parent_path() / "d8_fe_sample_110.xdd").string();
  const std::string reference_path =
      (std::filesystem::path(fe_sample).parent_path() / "d8_fe_sample_110_instrument.xdd").string();
  assoc_class* line = loaded(line_path);
  assoc_class* reference = loaded(reference_path);
  ASSERT_NE(line, nullptr);
  ASSERT_NE(reference, nullptr);
  auto* chain = dynamic_cast<xy_yobs_4*>(find(*line, "xy_yobs"));
  ASSERT_NE(chain, nullptr);
  EXPECT_EQ(chain->reference_profile() ? chain->reference_profile()->parent() : nullptr, reference);
  EXPECT_NEAR(chain->x_of(0), 43.0, 0.03);
  EXPECT_NEAR(chain->x_of(chain->n - 1), 46.5, 0.03);
  // The reference is the instrument's line where the iron 110 stands: its
  // top within a step of it, its K-alpha2 shoulder beyond.
  auto* ref = dynamic_cast<xy_yobs_4*>(find(*reference, "xy_yobs"));
  ASSERT_NE(ref, nullptr);
  int top = 0;
  for (int i = 0; i < ref->n; ++i)
    if (ref->y[ref->y.base() + i] > ref->y[ref->y.base() + top]) top = i;
  EXPECT_NEAR(ref->x_of(top), iron_two_theta(1, 1, 0), 0.03);
  EXPECT_TRUE(line->is_changed()) << "made in memory, as a capture is";

  // Two views of it: its deconvolution, and its A(L).
  const std::vector<TDrawView*> views = view_list(*app)->views();
  ASSERT_EQ(views.size(), views_before + 2);
  for (TDrawView* v : {views[views.size() - 2], views.back()}) {
    ASSERT_EQ(v->files().size(), 1u);
    EXPECT_EQ(v->files().front(), line);
  }
  EXPECT_TRUE(views[views.size() - 2]->show_bits() & show_bits::deconvoluted);
  EXPECT_TRUE(views.back()->show_bits() & show_bits::coefficients);
  EXPECT_NE(history().find(line_path + ": the range 43.000 to 46.500 deg of d8_fe_sample.csv"), std::string::npos)
      << history();
}

TEST_F(PatternInTheWorkbench, AnalysingALineBeforeThePatternAsksForTheInstrument) {
  TDrawView* pattern = load_iron();
  ASSERT_NE(pattern, nullptr);
  pattern->set_x1(63.5);
  pattern->set_x2(66.5);
  screen.queue_files({instrument});
  screen.user_command(view_command::analyse_line);
  ASSERT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(screen.pending_answers(), 0u);
  EXPECT_EQ(screen.file_requests().back().caption, "Analyse this line: Instrument Function or Standard");
  // Unmarked, the line is the highest count of the range: iron 200, and
  // its file is named after where that stands.
  assoc_class* line = nullptr;
  for (int i = 0; i < file_count(); ++i) {
    const std::string path = find(*files()->child(i), "xDdd_path_name")->get_text();
    if (path.find("d8_fe_sample_65.") != std::string::npos && path.ends_with("_deg.xdd")) line = files()->child(i);
  }
  ASSERT_NE(line, nullptr);
  auto* chain = dynamic_cast<xy_yobs_4*>(find(*line, "xy_yobs"));
  ASSERT_NE(chain, nullptr);
  ASSERT_NE(chain->reference_profile(), nullptr);
  auto* ref = dynamic_cast<xy_yobs_4*>(chain->reference_profile());
  ASSERT_NE(ref, nullptr);
  int top = 0;
  for (int i = 0; i < ref->n; ++i)
    if (ref->y[ref->y.base() + i] > ref->y[ref->y.base() + top]) top = i;
  EXPECT_NEAR(ref->x_of(top), iron_two_theta(2, 0, 0), 0.05);
}

TEST_F(PatternInTheWorkbench, AStandardsPatternChosenForTheInstrumentIsFittedAndLeavesNothingLoaded) {
  // Two files in the view: the user picks the iron from a menu of them.
  screen.queue_files({lab6_standard, fe_sample});
  screen.user_command(command_id::load_data);
  TDrawView* view = view_list(*app)->focused();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->files().size(), 2u);
  screen.queue_popup(2);
  analyse(lab6_standard, "bcc:2.8665");
  ASSERT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(file_count(), 2) << "the standard, loaded already, is taken as it is";
  const std::vector<line_mark> marks = line_marks_of(*view);
  ASSERT_EQ(marks.size(), 5u);
  EXPECT_EQ(marks.front().label, "110");
  const std::string text = screen.frame(text_documents(*app)->active_document()->view()->frame())->text;
  EXPECT_NE(text.find("Instrument function: fitted from " + lab6_standard), std::string::npos) << text;

  // With only the iron loaded, the standard is loaded for the fit and
  // taken out again; the view shows the iron alone.
  files()->delete_child(loaded(lab6_standard));
  ASSERT_EQ(view->files().size(), 1u);
  screen.user_activates(view->frame());
  analyse(lab6_standard, "bcc:2.8665");
  ASSERT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(file_count(), 1);
  EXPECT_EQ(view->files().size(), 1u);
  EXPECT_EQ(screen.pending_answers(), 0u);
}

TEST_F(PatternInTheWorkbench, AnalysingALineWithRoomForOneMoreFileIsRefusedAndMakesNone) {
  TDrawView* pattern = load_iron();
  ASSERT_NE(pattern, nullptr);
  analyse(instrument, "bcc:2.8665");
  find(*app, "mBax_num_files")->set_text("2");
  screen.user_activates(pattern->frame());
  screen.clear_calls();
  screen.user_command(view_command::analyse_line);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages().front().find("makes two files, the line and its reference: 1 of at most 2 are loaded"),
            std::string::npos)
      << messages().front();
  EXPECT_EQ(file_count(), 1);
}

}  // namespace
