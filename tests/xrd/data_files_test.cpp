#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "../template/loaded_templates.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/string_out.h"
#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "xrd/abscissa_check.h"
#include "xrd/ptr_class_4.h"
#include "xrd/ptr_classes_4.h"
#include "xrd/xdd_10.h"
#include "xrd/xdd_data_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/xy_data_3.h"

namespace {

namespace fs = std::filesystem;

// --------------------------------------------------------- abscissa check

struct abscissa_case {
  const char* name;
  double x1, xd, x2;
  bool accepted;
  int n;  // after the check; 77 is the count the record had before
  double xd_after;
};
void PrintTo(const abscissa_case& c, std::ostream* os) { *os << c.name; }

class AbscissaCheck : public ::testing::TestWithParam<abscissa_case> {};

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

TEST_P(AbscissaCheck, CountsThePointsAndPutsTheLastOnTheGrid) {
  const abscissa_case& c = GetParam();
  x1_xd_x2_3 axis;
  axis.n = 77;
  axis.x1 = c.x1;
  axis.xd = c.xd;
  axis.x2 = c.x2;
  EXPECT_EQ(check_abscissa(axis), c.accepted);
  EXPECT_EQ(axis.n, c.n);
  EXPECT_TRUE(same(axis.x1, c.x1)) << "the ends are never changed";
  EXPECT_TRUE(same(axis.x2, c.x2));
  if (std::isnan(c.xd_after))
    EXPECT_TRUE(std::isnan(axis.xd));
  else
    EXPECT_DOUBLE_EQ(axis.xd, c.xd_after);
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Files, AbscissaCheck,
    ::testing::Values(
        abscissa_case{"a_half_step_rounds_up_and_the_step_absorbs_it", 10, 0.02, 10.05, true, 4, (10.05 - 10) / 3},
        abscissa_case{"three_points_are_refused_with_their_count", 10, 0.02, 10.04, false, 3, 0.02},
        abscissa_case{"a_zero_step_is_refused", 10, 0, 11, false, 77, 0},
        abscissa_case{"a_step_of_5e_minus_8_is_refused", 10, 5e-8, 10.00001, false, 77, 5e-8},
        abscissa_case{"a_step_of_1e_minus_7_is_accepted", 0, 1e-7, 1e-6, true, 11, 1e-7},
        abscissa_case{"equal_ends_are_refused", 5, 0.1, 5, false, 1, 0.1},
        abscissa_case{"ends_in_the_wrong_order_are_refused", 10, 0.1, 9, false, 77, 0.1},
        abscissa_case{"thirty_thousand_points_are_accepted", 0, 0.01, 299.99, true, 30000, 299.99 / 29999},
        abscissa_case{"thirty_thousand_and_one_points_are_refused", 0, 0.01, 300, false, 30001, 0.01},
        abscissa_case{"an_infinite_end_is_refused_without_overflow", 0, 1, inf, false, 2147483647, 1},
        abscissa_case{"a_huge_span_is_refused_without_overflow", -1e300, 1e-7, 1e300, false, 2147483647, 1e-7},
        abscissa_case{"a_step_that_is_no_number_is_refused", 0, nan_value, 1, false, 77, nan_value},
        abscissa_case{"an_end_that_is_no_number_is_refused", nan_value, 0.1, 1, false, 77, 0.1}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------ data file fixture

const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      dAata_files ;\n"
    "         xdd ;\n"
    "            xdd_data ;\n"
    "            Cxy_yobs _creator xy_test_profile ;\n"
    "            AxDdd_path_name _char* ;\n"
    "            AtBime _double ;\n"
    "            AlBambda _double ;\n"
    "      load_xdd ;\n"
    "      load_cpi ;\n"
    "      dAeletion_bin ;\n"
    "      hAolder ;\n"
    "         ptr_classes_4 ;\n"
    "         tAarget ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "   xPobs ;\n"
    "}\n"
    "end_templates\n";

// "prj" names an object that is no reader.
const char* const outside =
    "start_out_side_recs {\n"
    "   {\"app_name\" {\"xrd test\"}}\n"
    "   {\"win_misc\"\n"
    "      {^\"exts_load\" {\"xdd\" {\"load_xdd\"}} {\"cpi\" {\"load_cpi\"}} {\"prj\" {\"dAata_files\"}}}\n"
    "   }\n"
    "}\n";

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

class DataFiles : public ::testing::Test {
 protected:
  DataFiles() : t(templates, outside) {
    register_data_file_classes();
    // The observed profile of these tests: the xy object of a data file,
    // without the Fourier chain.
    static creator_3<xy_data_for_3> profile("xy_test_profile");
    register_creator(profile);
    auto a = std::make_unique<app_node>();
    a->set_tem(template_tree().top_level("#app")->find_child("app"));
    app = root.add_child(std::move(a));
    files = app->create_child_by_name("dAata_files");
    global_error_message().assign("");
    char pattern[] = "/tmp/xrd_data_files_XXXXXX";
    dir = ::mkdtemp(pattern);
  }
  ~DataFiles() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    global_error_message().assign("");
  }

  std::string write_file(const std::string& name, const std::string& content) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A new data-file node for the path (the file need not exist).
  xdd_10* new_file(const std::string& path) {
    auto* x = dynamic_cast<xdd_10*>(files->create_child_by_name("xdd"));
    if (x) x->path_node()->set_text(path.c_str());
    return x;
  }
  static xy_data_3& profile(xdd_10* x) { return *x->observed(); }
  std::vector<std::string> shown_texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown.messages()) out.push_back(m.text);
    return out;
  }

  loaded_templates t;
  shown_errors shown;
  top_3 root;
  assoc_class* app = nullptr;
  assoc_class* files = nullptr;
  std::string dir;
};

// ----------------------------------------------------------- XDD comments

struct comment_case {
  const char* name;
  const char* head;     // what stands before the numbers
  const char* numbers;  // x1 xd x2 giving four points
  const char* comment;  // the comment after the load
};
void PrintTo(const comment_case& c, std::ostream* os) { *os << c.name; }

class XddComment : public DataFiles, public ::testing::WithParamInterface<comment_case> {};

TEST_P(XddComment, IsTheFirstLineUnlessItStartsLikeANumber) {
  const comment_case& c = GetParam();
  xdd_10* x = new_file(write_file("scan.xdd", std::string(c.head) + c.numbers + "\n2 1 1.5406\n4 3 2 1\n"));
  x->data()->comment = "old";
  ASSERT_NE(x->execute(), nullptr);
  EXPECT_STREQ(x->data()->comment.c_str(), c.comment);
  EXPECT_EQ(profile(x).n, 4);
  EXPECT_FLOAT_EQ(profile(x).y[3], 1.0f);
  EXPECT_TRUE(shown_texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    FirstLines, XddComment,
    ::testing::Values(comment_case{"minus_five_starts_the_numbers", "", "-5 0.5 -3.5", "old"},
                      comment_case{"point_five_starts_the_numbers", "", ".5 0.5 2", "old"},
                      comment_case{"a_plus_sign_starts_the_numbers", "  ", "+1 0.5 2.5", "old"},
                      comment_case{"a_word_starts_the_comment", "Quartz, Cu Ka 40 kV\n", "1 0.5 2.5",
                                   "Quartz, Cu Ka 40 kV"},
                      comment_case{"blank_lines_before_the_comment_are_skipped", "\n\n   Run 3\n", "1 0.5 2.5", "Run 3"},
                      comment_case{"an_apostrophe_is_text_not_a_comment_mark", "'t Hooft's sample\n", "1 0.5 2.5",
                                   "'t Hooft's sample"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------- refused scans

struct refused_case {
  const char* name;
  const char* numbers;
};
void PrintTo(const refused_case& c, std::ostream* os) { *os << c.name; }

class RefusedAbscissa : public DataFiles, public ::testing::WithParamInterface<refused_case> {};

TEST_P(RefusedAbscissa, ReportsTheFileAndLeavesTheProfileAsItWas) {
  const std::string path = write_file("bad.xdd", std::string("Bad\n") + GetParam().numbers + "\n7 1 1.5406\n1 2 3 4 5\n");
  xdd_10* x = new_file(path);
  profile(x).set_first_step_count(1.0, 0.5, 2);
  profile(x).y.allocate(2);
  EXPECT_EQ(x->execute(), nullptr);
  EXPECT_EQ(shown_texts(), std::vector<std::string>{"Error loading file " + path});
  EXPECT_STREQ(global_error_message().c_str(), "yes") << "the load request tells its caller, unshown";
  EXPECT_EQ(profile(x).n, 2);
  EXPECT_EQ(profile(x).y.count(), 2);
  EXPECT_DOUBLE_EQ(profile(x).x1, 1.0);
  EXPECT_DOUBLE_EQ(profile(x).xd, 0.5);
  EXPECT_EQ(x->member("tBime"), nullptr) << "nothing after the three numbers is read";
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RefusedAbscissa,
    ::testing::Values(refused_case{"three_points", "10 0.02 10.04"}, refused_case{"a_zero_step", "10 0 11"},
                      refused_case{"a_step_of_5e_minus_8", "10 5e-8 10.00001"}, refused_case{"equal_ends", "5 0.1 5"},
                      refused_case{"thirty_thousand_and_one_points", "0 0.01 300"},
                      // 3.6 steps round to 4, so 5 points; the step recomputed
                      // for them, 0.9e-7, fails the second check.
                      refused_case{"a_recomputed_step_below_the_smallest", "0 1e-7 3.6e-7"},
                      refused_case{"numbers_missing_from_their_line", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFiles, CpiWithoutScandataIsRefusedAfterTheWavelength) {
  const std::string path = write_file("plain.cpi", "Sample\n10\n10.06\n0.02\nCu\n1.5406\nscandata\n1\n2\n3\n4\n");
  xdd_10* x = new_file(path);
  EXPECT_EQ(x->execute(), nullptr);
  EXPECT_EQ(shown_texts(), std::vector<std::string>{"Error loading file " + path + "\nCannot find SCANDATA"});
  ASSERT_NE(x->member("lBambda"), nullptr);
  EXPECT_DOUBLE_EQ(x->member("lBambda")->get_double(), 1.5406);
  EXPECT_EQ(profile(x).y.count(), 0);
}

// -------------------------------------------------------- long first line

struct long_line_case {
  const char* name;
  const char* file;
  int length;  // of the first line
  bool kept;   // whether it becomes the comment
};
void PrintTo(const long_line_case& c, std::ostream* os) { *os << c.name; }

class LongFirstLine : public DataFiles, public ::testing::WithParamInterface<long_line_case> {};

// The line ends in numbers: read as data they would make a scan of their own.
TEST_P(LongFirstLine, IsKeptUpTo1999CharactersAndSkippedWholeBeyond) {
  const long_line_case& c = GetParam();
  std::string line = "C" + std::string(static_cast<std::size_t>(c.length - 9), 'x') + " 9 9 9 9";
  ASSERT_EQ(line.size(), static_cast<std::size_t>(c.length));
  const bool cpi = std::string(c.file).ends_with(".cpi");
  const std::string body = cpi ? "10\n10.06\n0.02\nCu\n1.5406\nSCANDATA\n1\n2\n3\n4\n" : "10 0.02 10.06\n1 1 1.5406\n1 2 3 4\n";
  xdd_10* x = new_file(write_file(c.file, line + "\n" + body));
  x->data()->comment = "old";
  ASSERT_NE(x->execute(), nullptr);
  EXPECT_EQ(std::string(x->data()->comment.c_str()), c.kept ? line : "old");
  EXPECT_EQ(profile(x).n, 4) << "the numbers come from the line after the long one";
  EXPECT_DOUBLE_EQ(profile(x).x1, 10.0);
  EXPECT_FLOAT_EQ(profile(x).y[0], 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LongFirstLine,
    ::testing::Values(long_line_case{"xdd_1999_characters_are_the_comment", "a.xdd", 1999, true},
                      long_line_case{"xdd_2000_characters_leave_the_old_comment", "a.xdd", 2000, false},
                      long_line_case{"xdd_5000_characters_leave_the_old_comment", "a.xdd", 5000, false},
                      long_line_case{"cpi_1999_characters_are_the_comment", "a.cpi", 1999, true},
                      long_line_case{"cpi_2000_characters_leave_the_old_comment", "a.cpi", 2000, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- short file

TEST_F(DataFiles, AShortFileLoadsWithItsMissingPointsAsZeroAndSaysSo) {
  struct {
    const char* ordinates;
    int held;
  } cases[] = {{"5 6 7 8\n", 4}, {"", 0}};
  for (const auto& c : cases) {
    const std::string path = write_file("short.xdd", std::string("Short\n10 0.5 12.5\n1 1 1.5406\n") + c.ordinates);
    xdd_10* x = new_file(path);
    ASSERT_NE(x->execute(), nullptr) << c.held << " points held";
    ASSERT_EQ(profile(x).n, 6);
    EXPECT_FLOAT_EQ(profile(x).y[0], c.held ? 5.0f : 0.0f);
    EXPECT_FLOAT_EQ(profile(x).y[4], 0.0f);
    EXPECT_FLOAT_EQ(profile(x).y[5], 0.0f);
    ASSERT_EQ(shown.messages().size(), 1u);
    EXPECT_EQ(shown.messages()[0].text,
              "File " + path + " holds only " + std::to_string(c.held) + " of 6 points; the missing points read as 0.");
    EXPECT_TRUE(global_error_message().is_empty()) << "a warning is no failure";
    shown.recorder.messages.clear();
    files->delete_child(x);
  }
}

// ---------------------------------------------------------- writing XDD

TEST_F(DataFiles, ACpiScanSavesAsXddAndReadsBackFieldForField) {
  xdd_10* cpi = new_file(
      write_file("scan.cpi", "Quartz standard\n10\n10.05\n0.02\nCu\n1.5406\n11/10/2012\n2,0\nSCANDATA\n1.5\n2.25\n-3\n4e3\n"));
  ASSERT_NE(cpi->execute(), nullptr);
  const xy_data_3& read = profile(cpi);
  ASSERT_EQ(read.n, 4);

  const std::string saved = dir + "/scan.xdd";
  cpi->path_node()->set_text(saved.c_str());
  ASSERT_TRUE(cpi->data()->write_xdd());
  std::vector<std::string> lines;
  std::istringstream text(read_file(saved));
  for (std::string l; std::getline(text, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "Quartz standard");
  EXPECT_EQ(lines[1], "10.0000");
  EXPECT_EQ(std::strtod(lines[2].c_str(), nullptr), read.xd) << "line 3 is the step, to its last digit: " << lines[2];
  EXPECT_EQ(lines[3], "10.0500") << "line 4 is the end";
  EXPECT_EQ(lines[4], "1") << "a file without a count time saves time 1";
  EXPECT_EQ(lines[5], "1");
  EXPECT_EQ(lines[6], "1.5406");
  EXPECT_EQ(lines[7], "1.5000");
  EXPECT_EQ(lines[10], "4000.0000");

  xdd_10* back = new_file(saved);
  ASSERT_NE(back->execute(), nullptr);
  const xy_data_3& again = profile(back);
  EXPECT_EQ(again.n, read.n);
  EXPECT_EQ(again.x1, read.x1);
  EXPECT_EQ(again.xd, read.xd);
  EXPECT_EQ(again.x2, read.x2);
  for (int i = 0; i < again.n; ++i) EXPECT_EQ(again.y[i], read.y[i]) << "point " << i;
  EXPECT_STREQ(back->data()->comment.c_str(), "Quartz standard");
  EXPECT_DOUBLE_EQ(back->member("tBime")->get_double(), 1.0);
  EXPECT_DOUBLE_EQ(back->member("lBambda")->get_double(), 1.5406);
  EXPECT_TRUE(shown_texts().empty());
}

// Four decimals would write a step of 1/60 as 0.0167, and the file would
// read back as 2995 points instead of 3001.
TEST_F(DataFiles, SavedAbscissaAndOrdinatesReadBackExactly) {
  xdd_10* x = new_file(dir + "/fine.xdd");
  xy_data_3& p = profile(x);
  p.set_first_step_count(10.0, 1.0 / 60, 3001);
  p.x2 = 60.0;
  p.y.allocate(3001);
  for (int i = 0; i < 3001; ++i) p.y[i] = static_cast<float>(std::exp(-0.001 * i) * 1e-3 + 0.1 * i);
  x->data()->comment = "";
  ASSERT_TRUE(x->data()->write_xdd());
  EXPECT_EQ(read_file(dir + "/fine.xdd").substr(0, 8), "Comment\n") << "an empty comment is saved as Comment";

  xdd_10* back = new_file(dir + "/fine.xdd");
  ASSERT_NE(back->execute(), nullptr);
  EXPECT_EQ(profile(back).n, 3001);
  EXPECT_EQ(profile(back).x1, 10.0);
  EXPECT_EQ(profile(back).x2, 60.0);
  EXPECT_DOUBLE_EQ(profile(back).xd, 50.0 / 3000);
  for (int i = 0; i < 3001; i += 250) EXPECT_EQ(profile(back).y[i], p.y[i]) << "point " << i;
  EXPECT_STREQ(back->data()->comment.c_str(), "Comment");
}

TEST_F(DataFiles, AFailedSaveIsReportedAndLeavesTheOldFile) {
  const std::string path = write_file("kept.xdd", "old contents\n");
  xdd_10* x = new_file(dir + "/no/such/dir/out.xdd");
  profile(x).set_first_step_count(0, 1, 4);
  profile(x).y.allocate(4);
  EXPECT_FALSE(x->data()->write_xdd());
  ASSERT_EQ(shown.messages().size(), 1u);
  EXPECT_NE(shown.messages()[0].text.find("out.xdd"), std::string::npos) << shown.messages()[0].text;

  // A profile without points would make a file that no reader accepts: the
  // file it would have replaced stays.
  x->path_node()->set_text(path.c_str());
  profile(x).y.free_storage();
  EXPECT_FALSE(x->data()->write_xdd());
  EXPECT_EQ(shown.messages().size(), 2u);
  EXPECT_EQ(read_file(path), "old contents\n");
}

// ------------------------------------------------------------- dispatcher

struct dispatch_case {
  const char* name;
  const char* file;
  bool cpi_layout;
  bool loads;
  const char* message;  // what the user is told, "" for nothing
};
void PrintTo(const dispatch_case& c, std::ostream* os) { *os << c.name; }

class Dispatcher : public DataFiles, public ::testing::WithParamInterface<dispatch_case> {};

TEST_P(Dispatcher, ChoosesTheReaderByTheExtensionWhateverItsCase) {
  const dispatch_case& c = GetParam();
  const char* content = c.cpi_layout ? "Cpi\n1\n2.5\n0.5\nCu\n1.54\nSCANDATA\n1\n2\n3\n4\n"
                                     : "Xdd\n1 0.5 2.5\n1 1 1.54\n1 2 3 4\n";
  const std::string path = write_file(c.file, content);
  xdd_10* x = new_file(std::string(c.file) == "missing.xdd" ? dir + "/absent.xdd" : path);
  EXPECT_EQ(x->execute() != nullptr, c.loads);
  const std::string told = shown_texts().empty() ? "" : shown_texts()[0];
  EXPECT_NE(told.find(c.message), std::string::npos) << told;
  EXPECT_EQ(told.empty(), *c.message == '\0') << "a file that did not load is always explained: " << told;
  EXPECT_STREQ(global_error_message().c_str(), c.loads ? "" : "yes");
  EXPECT_EQ(profile(x).n, c.loads ? 4 : 0);
  EXPECT_EQ(x->data()->input(), nullptr) << "the file is closed after the load";
}

INSTANTIATE_TEST_SUITE_P(
    Names, Dispatcher,
    ::testing::Values(dispatch_case{"lower_case_xdd", "scan.xdd", false, true, ""},
                      dispatch_case{"upper_case_xdd", "SCAN.XDD", false, true, ""},
                      dispatch_case{"mixed_case_cpi", "Scan.Cpi", true, true, ""},
                      dispatch_case{"the_last_dot_counts", "run.2024.05.xdd", false, true, ""},
                      dispatch_case{"no_dot_is_the_empty_extension", "scan", false, false,
                                    "No reader for the file type of "},
                      dispatch_case{"an_extension_without_a_reader", "scan.txt", false, false,
                                    "No reader for the file type of "},
                      dispatch_case{"an_extension_naming_no_reader", "scan.prj", false, false, ""},
                      dispatch_case{"a_file_that_cannot_be_opened", "missing.xdd", false, false,
                                    "absent.xdd: Cannot open file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFiles, TheLoadRequestTakesItsPathFromTheNodeItIsGiven) {
  const std::string path = write_file("given.xdd", "1 0.5 2.5\n1 1 1\n1 2 3 4\n");
  xdd_10* x = new_file(dir + "/elsewhere.xdd");
  struct path_text : assoc_class {
    std::string text;
    const char* get_text() override { return text.c_str(); }
  } request;
  request.text = path;
  EXPECT_EQ(x->data()->execute_with(&request), x->data());
  EXPECT_STREQ(x->path_node()->get_text(), path.c_str()) << "the path is stored in the data file";
  EXPECT_EQ(profile(x).n, 4);
}

// ------------------------------------------------------------- real scans

TEST_F(DataFiles, RealScansLoadWithTheirCountsAndValues) {
  xdd_10* corundum = new_file(XRDF_TEST_DATA "/corundum.xdd");
  ASSERT_NE(corundum->execute(), nullptr);
  const xy_data_3& c = profile(corundum);
  EXPECT_EQ(c.n, 3921);
  EXPECT_EQ(c.y.count(), 3921);
  EXPECT_DOUBLE_EQ(c.x1, 4.5);
  EXPECT_DOUBLE_EQ(c.x2, 89.99912);
  EXPECT_DOUBLE_EQ(c.xd, (89.99912 - 4.5) / 3920);
  EXPECT_DOUBLE_EQ(corundum->member("tBime")->get_double(), 33.44);
  EXPECT_DOUBLE_EQ(corundum->member("lBambda")->get_double(), 1.5406);
  EXPECT_FLOAT_EQ(c.y[0], 162.0f);
  EXPECT_FLOAT_EQ(c.y[3920], 31.0f);
  EXPECT_DOUBLE_EQ(c.max_y, 4661.0);
  EXPECT_STREQ(corundum->data()->comment.c_str(), "Corundum standard, Cu Ka, Bruker diffractometer, 2006");

  xdd_10* fragment = new_file(XRDF_TEST_DATA "/pyxrd-fragment.cpi");
  ASSERT_NE(fragment->execute(), nullptr);
  const xy_data_3& f = profile(fragment);
  EXPECT_EQ(f.n, 37);
  EXPECT_DOUBLE_EQ(f.x1, 3.01);
  EXPECT_DOUBLE_EQ(f.x2, 3.73);
  EXPECT_DOUBLE_EQ(f.xd, 0.02);
  EXPECT_FLOAT_EQ(f.y[0], 60.0f);
  EXPECT_FLOAT_EQ(f.y[6], 5.5106383f);
  EXPECT_FLOAT_EQ(f.y[36], -6.9509804f) << "the last number, with no newline after it";
  // The instrument writes its wavelength with a decimal comma: "1,5406".
  EXPECT_DOUBLE_EQ(fragment->member("lBambda")->get_double(), 1.5406);
  EXPECT_EQ(fragment->member("tBime"), nullptr) << "a CPI file has no count time";
  EXPECT_TRUE(shown_texts().empty());
}

// ---------------------------------------------------------- the data file

TEST_F(DataFiles, ADataFileIsNamedAndDescribedByItsFile) {
  const std::string path = write_file("scan.xdd", "Scan\n10 0.02 10.05\n2.5 1 1.5406\n1 2 3 4\n");
  xdd_10* x = new_file(path);
  EXPECT_STREQ(x->get_text(), "scan.xdd");
  EXPECT_STREQ(x->description().c_str(), "scan.xdd: no data");
  ASSERT_NE(x->execute(), nullptr);
  EXPECT_STREQ(x->title().c_str(), "scan.xdd");
  EXPECT_STREQ(x->description().c_str(),
               "scan.xdd: 4 points, 10.0000 to 10.0500, step 0.0167, time 2.5000, wavelength 1.5406");

  xdd_10* cpi = new_file(write_file("b.cpi", "B\n1\n2.5\n0.5\nCu\n1.54\nSCANDATA\n1\n2\n3\n4\n"));
  ASSERT_NE(cpi->execute(), nullptr);
  EXPECT_STREQ(cpi->description().c_str(), "b.cpi: 4 points, 1.0000 to 2.5000, step 0.5000, wavelength 1.5400");

  string_out out;
  x->write_for_project(out);
  EXPECT_EQ(std::string(out.text()), "\nxdd dAata_files " + path);
}

// -------------------------------------------------------------- references

class References : public DataFiles {
 protected:
  References() {
    holder = app->create_child_by_name("hAolder");
    list = dynamic_cast<ptr_classes_4*>(holder->create_child_by_name("ptr_classes_4"));
    a = holder->create_child_by_name("tAarget");
    b = holder->create_child_by_name("tAarget");
  }
  assoc_class* bin() { return find_existing(*app, "dAeletion_bin"); }

  assoc_class* holder = nullptr;
  ptr_classes_4* list = nullptr;
  assoc_class* a = nullptr;
  assoc_class* b = nullptr;
};

TEST_F(References, AListRefersToEachNodeOnce) {
  ASSERT_NE(list, nullptr);
  assoc_class* ra = list->add_reference(a);
  EXPECT_EQ(list->add_reference(a), ra);
  list->add_reference(b);
  EXPECT_EQ(list->child_count(), 2);
  EXPECT_EQ(list->targets(), (node_list{a, b}));
  EXPECT_EQ(ra->get_object(), a);
  EXPECT_EQ(list->add_reference(nullptr), nullptr);
  EXPECT_TRUE(list->remove_reference(a));
  EXPECT_FALSE(list->refers_to(a));
  EXPECT_EQ(list->child_count(), 1);
}

TEST_F(References, AReferenceWhoseTargetDiesEmptiesAndMovesToTheBin) {
  app->create_child_by_name("dAeletion_bin");
  auto* r = dynamic_cast<ptr_class_4*>(list->add_reference(a));
  list->add_reference(b);
  holder->delete_child(a);
  EXPECT_EQ(r->target(), nullptr);
  EXPECT_EQ(r->parent(), bin());
  EXPECT_EQ(list->targets(), node_list{b});
  EXPECT_EQ(list->child_count(), 1);
}

TEST_F(References, WithoutABinAReferenceStaysEmptyWhereItIs) {
  auto* r = dynamic_cast<ptr_class_4*>(list->add_reference(a));
  holder->delete_child(a);
  EXPECT_EQ(bin(), nullptr) << "no bin is built while a node is torn down";
  EXPECT_EQ(r->parent(), list);
  EXPECT_EQ(r->target(), nullptr);
  EXPECT_TRUE(list->targets().empty());
}

TEST_F(References, ReferencesDyingWithTheirTargetsStayOutOfTheBin) {
  app->create_child_by_name("dAeletion_bin");
  list->add_reference(a);
  list->add_reference(b);
  // The list and its targets go together.
  app->delete_child(holder);
  EXPECT_EQ(bin()->child_count(), 0);
}

TEST_F(References, RepointingAReferenceIsNoDeathOfItsTarget) {
  app->create_child_by_name("dAeletion_bin");
  auto* r = dynamic_cast<ptr_class_4*>(list->add_reference(a));
  r->set_object(b);
  EXPECT_EQ(r->parent(), list);
  EXPECT_EQ(r->target(), b);
  holder->delete_child(a);
  EXPECT_EQ(r->parent(), list) << "the old target's death is none of its business";
  r->set_object(nullptr);
  holder->delete_child(b);
  EXPECT_EQ(r->parent(), list);
}

}  // namespace
