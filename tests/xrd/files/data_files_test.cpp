#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "xrd/files/abscissa_check.h"
#include "xrd/chain/ptr_class_4.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/files/xdd_10.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/curves/xy_data_3.h"

namespace {

using namespace data_file_fixture;

// Refusals that reach the user are checked, with their messages, through the readers below.
TEST(AbscissaCheck, CountsThePointsAndPutsTheLastOnTheGrid) {
  constexpr double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    double x1, xd, x2;
    bool accepted;
    int n;  // after the check; 77 is the count the record had before
    double xd_after;
  } rows[] = {{"a half step rounds up and the step absorbs it", 10, 0.02, 10.05, true, 4, (10.05 - 10) / 3},
              {"a step of 5e-8 is refused", 10, 5e-8, 10.00001, false, 77, 5e-8},
              {"a step of 1e-7 is accepted", 0, 1e-7, 1e-6, true, 11, 1e-7},
              {"equal ends are refused", 5, 0.1, 5, false, 1, 0.1},
              {"ends in the wrong order are refused", 10, 0.1, 9, false, 77, 0.1},
              {"thirty thousand points are accepted", 0, 0.01, 299.99, true, 30000, 299.99 / 29999},
              {"an infinite end is refused without overflow", 0, 1, inf, false, 2147483647, 1},
              {"a huge span is refused without overflow", -1e300, 1e-7, 1e300, false, 2147483647, 1e-7},
              {"a step that is no number is refused", 0, nan, 1, false, 77, nan},
              {"an end that is no number is refused", nan, 0.1, 1, false, 77, 0.1}};
  auto same = [](double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) < 1e-15 * b;
  };
  for (const auto& c : rows) {
    x1_xd_x2_3 axis;
    axis.n = 77, axis.x1 = c.x1, axis.xd = c.xd, axis.x2 = c.x2;
    EXPECT_EQ(check_abscissa(axis), c.accepted) << c.name;
    EXPECT_EQ(axis.n, c.n) << c.name;
    EXPECT_TRUE(same(axis.x1, c.x1) && same(axis.x2, c.x2)) << "the ends are never changed: " << c.name;
    EXPECT_TRUE(same(axis.xd, c.xd_after)) << c.name << ": step " << axis.xd;
  }
}

TEST_F(DataFiles, TheFirstLineIsTheCommentUnlessItStartsLikeANumberOrIsLongerThan1999Characters) {
  // A long line ending in numbers that, read as data, would make a scan of their own.
  const auto line = [](int length) {
    return "C" + std::string(static_cast<std::size_t>(length - 9), 'x') + " 9 9 9 9";
  };
  const std::string xdd = "\n10 0.5 11.5\n2 1 1.5406\n1 2 3 4\n",
                    cpi = "\n10\n11.5\n0.5\nCu\n1.5406\nSCANDATA\n1\n2\n3\n4\n";
  const struct {
    const char* name;
    const char* file;
    std::string text, comment;
  } rows[] = {{"minus five starts the numbers", "a.xdd", "-5 0.5 -3.5\n2 1 1.5406\n1 2 3 4\n", "old"},
              {"point five starts the numbers", "a.xdd", ".5 0.5 2\n2 1 1.5406\n1 2 3 4\n", "old"},
              {"a plus sign starts the numbers", "a.xdd", "  +1 0.5 2.5\n2 1 1.5406\n1 2 3 4\n", "old"},
              {"a word starts the comment", "a.xdd", "Quartz, Cu Ka 40 kV" + xdd, "Quartz, Cu Ka 40 kV"},
              {"blank lines before the comment are skipped", "a.xdd", "\n\n   Run 3" + xdd, "Run 3"},
              {"an apostrophe is text, not a comment mark", "a.xdd", "'t Hooft's sample" + xdd, "'t Hooft's sample"},
              {"1999 characters are the comment", "a.xdd", line(1999) + xdd, line(1999)},
              {"2000 characters leave the old comment", "a.xdd", line(2000) + xdd, "old"},
              {"1999 characters are the comment of a CPI file", "a.cpi", line(1999) + cpi, line(1999)},
              {"2000 characters leave the old comment of a CPI file", "a.cpi", line(2000) + cpi, "old"}};
  for (const auto& c : rows) {
    xdd_10* x = new_file(write_file(c.file, c.text));
    ASSERT_NE(x->execute(), nullptr) << c.name;
    EXPECT_EQ(x->data()->comment.c_str(), c.comment) << c.name;
    EXPECT_EQ(profile(x).n, 4) << c.name;
    EXPECT_EQ(std::pair(profile(x).y[0], profile(x).y[3]), std::pair(1.0f, 4.0f)) << c.name;
  }
  EXPECT_EQ(shown_texts(), strings{});
}

TEST_F(DataFiles, ARefusedScanIsReportedWithTheFileAndWhyAndLeavesTheProfileAsItWas) {
  const struct {
    const char* name;
    const char* file;
    const char* content;
    const char* reason;  // after the file name
  } rows[] = {{"three points", "bad.xdd", "Bad\n10 0.02 10.04\n7 1 1.5406\n1 2 3 4 5\n", "\nFewer than 4 points: 3"},
              {"a zero step", "bad.xdd", "Bad\n10 0 11\n7 1 1.5406\n1 2 3 4 5\n", "\nThe step xd = 0 is below 1e-7"},
              {"thirty thousand and one points", "bad.xdd", "Bad\n0 0.01 300\n7 1 1.5406\n1 2 3 4 5\n",
               "\nMore than 30000 points: 30001"},
              // 3.6 steps round to 4, so 5 points; the step recomputed for them, 0.9e-7, fails the second check.
              {"a recomputed step below the smallest", "bad.xdd", "Bad\n0 1e-7 3.6e-7\n7 1 1.5406\n1 2 3 4 5\n",
               "\nThe step xd = 9e-08 is below 1e-7"},
              {"numbers missing from their line", "bad.xdd", "Bad\n\n7 1 1.5406\n1 2 3 4 5\n",
               "\nThe end x2 = 1.5406 is below the start x1 = 7"},
              {"a step that is a word", "bad.xdd", "Bad\n10 O.02 11\n7 1 1.5406\n1 2 3 4 5\n",
               "\nLine 2: \"O.02\" is not a number"},
              {"an end with letters after its digits", "bad.xdd", "Bad\r\n\r\n10 0.5\r\n12abc\r\n7 1 1\r\n1 2 3 4 5\r\n",
               "\nLine 4: \"12abc\" is not a number"},
              {"a step spelt nan", "bad.xdd", "Bad\n10 nan 11\n7 1 1.5406\n1 2 3 4 5\n",
               "\nLine 2: \"nan\" is not a number"},
              {"a CPI start that is a word", "bad.cpi", "Sample\nten\n10.06\n0.02\nCu\n1.5406\nSCANDATA\n1\n2\n3\n4\n",
               "\nLine 2: \"ten\" is not a number"},
              {"a CPI file without SCANDATA", "plain.cpi",
               "Sample\n10\n10.06\n0.02\nCu\n1.5406\nscandata\n1\n2\n3\n4\n", "\nCannot find SCANDATA"},
              // Last: the check after the rows sees a file refused after its wavelength.
              {"a CPI ordinate that is no number", "plain.cpi",
               "Sample\n10\n10.06\n0.02\nCu\n1.5406\nSCANDATA\n1\n2\nn/a\n4\n", "\nLine 10: \"n/a\" is not a number"}};
  xdd_10* x = nullptr;
  for (const auto& c : rows) {
    forget_messages();
    const std::string path = write_file(c.file, c.content);
    x = new_file(path);
    profile(x).set_first_step_count(1.0, 0.5, 2);
    profile(x).y.allocate(2);
    EXPECT_EQ(x->execute(), nullptr) << c.name;
    EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + c.reason}) << c.name;
    EXPECT_STREQ(global_error_message().c_str(), "yes") << "the load request tells its caller, unshown: " << c.name;
    EXPECT_TRUE(profile(x).n == 2 && profile(x).y.count() == 2 && profile(x).x1 == 1.0 && profile(x).xd == 0.5)
        << c.name;
    EXPECT_EQ(x->member("tBime"), nullptr) << "nothing after the three numbers is read: " << c.name;
  }
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.5406) << "a CPI file is refused after its wavelength";
}

TEST_F(DataFiles, AShortFileLoadsWithItsMissingPointsAsZeroAndSaysSo) {
  for (int held : {4, 0}) {
    forget_messages();
    const std::string path =
        write_file("short.xdd", std::string("Short\n10 0.5 12.5\n1 1 1.5406\n") + (held ? "5 6 7 8\n" : ""));
    xdd_10* x = new_file(path);
    ASSERT_NE(x->execute(), nullptr) << held << " points held";
    ASSERT_EQ(profile(x).n, 6);
    const std::vector<float> y(profile(x).y.data(), profile(x).y.data() + 6);
    EXPECT_EQ(y, (held ? std::vector<float>{5, 6, 7, 8, 0, 0} : std::vector<float>(6, 0.0f)));
    EXPECT_EQ(shown_texts(), strings{"File " + path + " holds only " + std::to_string(held) +
                                     " of 6 points; the missing points read as 0."});
    EXPECT_TRUE(global_error_message().is_empty()) << "a warning is no failure";
  }
}

// Every form of number a scan may hold reads as the C library reads it: the
// reader takes a faster path for the common ones, and falls back for the rest.
TEST_F(DataFiles, EveryFormOfNumberReadsAsTheCLibraryReadsIt) {
  const std::vector<std::string> texts = {"0.1", "+5", "-7.25", ".5", "5.", "1E3", "2e-3", "1,5", "123456789012345678",
                                          "1e400", "-1e400", "1e-400", "3.4028235e38", "0.30000000000000004",
                                          "1.00000005960464477539", "-0", "inf", "-inf", "nan", "-Infinity"};
  std::string body;
  for (const std::string& t : texts) body += t + "\n";
  const std::string path = write_file("forms.xdd", "Forms\n1 1 " + std::to_string(texts.size()) + "\n1 1 1.5406\n" + body);
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << shown_texts().size();
  ASSERT_EQ(profile(x).n, static_cast<int>(texts.size()));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string c_text = texts[i];
    if (c_text == "1,5") c_text = "1.5";  // a decimal comma is a decimal point
    const double v = std::strtod(c_text.c_str(), nullptr);
    const double top = std::numeric_limits<float>::max();
    const float expected = v > top ? std::numeric_limits<float>::infinity()
                           : v < -top ? -std::numeric_limits<float>::infinity()
                                      : static_cast<float>(v);
    const float got = profile(x).y[static_cast<int>(i)];
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << texts[i] << " read as " << got;
  }
  EXPECT_EQ(shown_texts(), strings{});
}

TEST_F(DataFiles, ACpiScanSavesAsXddAndReadsBackFieldForField) {
  xdd_10* cpi = new_file(write_file(
      "scan.cpi", "Quartz standard\n10\n10.05\n0.02\nCu\n1.5406\n11/10/2012\n2,0\nSCANDATA\n1.5\n2.25\n-3\n4e3\n"));
  ASSERT_NE(cpi->execute(), nullptr);
  const xy_data_3& read = profile(cpi);
  ASSERT_EQ(read.n, 4);
  const std::string saved = dir + "/scan.xdd";
  cpi->path_node()->set_text(saved.c_str());
  ASSERT_TRUE(cpi->data()->write_xdd());
  strings lines;
  std::istringstream text(read_file(saved));
  for (std::string l; std::getline(text, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[2], "0.01666666667") << "the step 1/60, to as many digits as give the same grid back";
  lines[2] = "step";
  EXPECT_EQ(lines, (strings{"Quartz standard", "10.0000", "step", "10.0500", "1", "1", "1.5406", "1.5000", "2.2500",
                            "-3.0000", "4000.0000"}))
      << "a file without a count time saves time 1";

  xdd_10* back = new_file(saved);
  ASSERT_NE(back->execute(), nullptr);
  const xy_data_3& again = profile(back);
  EXPECT_TRUE(again.n == read.n && again.x1 == read.x1 && again.xd == read.xd && again.x2 == read.x2);
  for (int i = 0; i < again.n; ++i) EXPECT_EQ(again.y[i], read.y[i]) << "point " << i;
  EXPECT_STREQ(back->data()->comment.c_str(), "Quartz standard");
  EXPECT_EQ(std::pair(member(back, "tBime"), member(back, "lBambda")), std::pair(1.0, 1.5406));
  EXPECT_EQ(shown_texts(), strings{});
}

// A CPI file's first line is always its comment and may start like a
// number; the XDD reader would take such a line for data, so the first save
// of "0CPI scan" made a file that could not be loaded again.
TEST_F(DataFiles, ACommentThatWouldReadAsDataIsSavedAfterTheWordCommentAndTheFileLoadsAgain) {
  const struct {
    const char* name;
    const char* comment;
    const char* first_line;
  } rows[] = {{"a comment starting with a digit", "0CPI scan", "Comment 0CPI scan"},
              {"a comment starting with a minus sign", "-5 degrees tilt", "Comment -5 degrees tilt"},
              {"a comment starting with a point after blanks", "  .5 mm slit", "Comment   .5 mm slit"},
              {"a blank comment", " \t ", "Comment"},
              {"a comment of words", "Quartz 5", "Quartz 5"},
              // The reader takes the last carriage return with the line feed:
              // kept, each save and load lost one of them.
              {"a comment ending in carriage returns", "Quartz\r\r\r", "Quartz"},
              {"a comment of carriage returns", "\r\r", "Comment"},
              // A sample name of several lines (an XRDML file's may have
              // them) pushed the saved file's numbers down a line.
              {"a comment of several lines", "quartz\n\n\nfrom the\r\nmine", "quartz   from the  mine"},
              {"a comment whose second line reads as data", "Scan\n20.5", "Scan 20.5"},
              {"a comment of line feeds", "\n\n", "Comment"},
              // A binary header read as a comment made the saved file look
              // like wide text, or binary, when it was loaded again.
              {"a comment that starts with a byte order mark", "\xFF\xFE\x02scan", "scan"},
              {"a comment with a byte order mark after blanks", "\xFF\xFF\xFE\xFF#scan", "#scan"},
              {"a comment with control bytes", "scan\x02\x1F end", "scan   end"}};
  for (const auto& c : rows) {
    xdd_10* x = new_file(dir + "/saved.xdd", c.comment);
    profile(x).set_first_step_count(20.0, 0.5, 4);
    profile(x).y.allocate(4);
    ASSERT_TRUE(x->data()->write_xdd()) << c.name;
    const std::string text = read_file(dir + "/saved.xdd");
    EXPECT_EQ(text.substr(0, text.find('\n')), c.first_line) << c.name;
    xdd_10* back = new_file(dir + "/saved.xdd");
    ASSERT_NE(back->execute(), nullptr) << "the saved file loads: " << c.name;
    EXPECT_STREQ(back->data()->comment.c_str(), c.first_line) << c.name;
    EXPECT_EQ(std::pair(profile(back).n, profile(back).x1), std::pair(4, 20.0)) << c.name;
  }
  EXPECT_EQ(shown_texts(), strings{});

  xdd_10* cpi = new_file(write_file("digit.cpi", "0CPI scan\n20\n21.5\n0.5\nCu\n1.5406\nheader line\nSCANDATA\n1\n2\n3\n4\n"));
  ASSERT_NE(cpi->execute(), nullptr);
  cpi->path_node()->set_text((dir + "/digit.xdd").c_str());
  ASSERT_TRUE(cpi->data()->write_xdd());
  xdd_10* xdd = new_file(dir + "/digit.xdd");
  ASSERT_NE(xdd->execute(), nullptr) << "a CPI file whose comment starts with a digit converts to a readable XDD file";
  EXPECT_EQ(std::vector<float>(profile(xdd).y.data(), profile(xdd).y.data() + 4), (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(shown_texts(), strings{});
}

// Counts beyond the float range read as infinities, and a computed curve
// may hold them or undefined values: a save wrote "inf" and "nan", which
// the reader refused, so the saved scan could not be loaded again.
TEST_F(DataFiles, AScanHoldingInfinitiesOrUndefinedValuesSavesAndLoadsAgain) {
  const std::string path = write_file("wild.xdd", "Wild\n1 1 6\n1 1 1.5406\n5 1e39 -1e39 7 8 9\n");
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr);
  profile(x).y[3] = std::numeric_limits<float>::quiet_NaN();
  set_text_named(*x, "xDdd_path_name", (dir + "/saved.xdd").c_str());
  ASSERT_TRUE(x->data()->write_xdd());
  xdd_10* back = new_file(dir + "/saved.xdd");
  ASSERT_NE(back->execute(), nullptr) << read_file(dir + "/saved.xdd");
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(profile(back).y[1], inf);
  EXPECT_EQ(profile(back).y[2], -inf);
  EXPECT_TRUE(std::isnan(profile(back).y[3]));
  EXPECT_EQ(profile(back).y[5], 9.0f);
  EXPECT_EQ(shown_texts(), strings{});
}

// Four decimals would write a step of 1/60 as 0.0167, and the file would
// read back as 2995 points instead of 3001.
TEST_F(DataFiles, SavedAbscissaAndOrdinatesReadBackExactly) {
  xdd_10* x = new_file(dir + "/fine.xdd", "");
  xy_data_3& p = profile(x);
  p.set_first_step_count(10.0, 1.0 / 60, 3001);
  p.x2 = 60.0;
  p.y.allocate(3001);
  for (int i = 0; i < 3001; ++i) p.y[i] = static_cast<float>(std::exp(-0.001 * i) * 1e-3 + 0.1 * i);
  ASSERT_TRUE(x->data()->write_xdd());
  EXPECT_EQ(read_file(dir + "/fine.xdd").substr(0, 8), "Comment\n") << "an empty comment is saved as Comment";
  xdd_10* back = new_file(dir + "/fine.xdd");
  ASSERT_NE(back->execute(), nullptr);
  EXPECT_EQ(profile(back).n, 3001);
  EXPECT_EQ(std::pair(profile(back).x1, profile(back).x2), std::pair(10.0, 60.0));
  EXPECT_DOUBLE_EQ(profile(back).xd, 50.0 / 3000);
  for (int i = 0; i < 3001; i += 250) EXPECT_EQ(profile(back).y[i], p.y[i]) << "point " << i;
}

TEST_F(DataFiles, AFailedSaveSaysWhyAndLeavesTheOldFile) {
  const std::string path = write_file("kept.xdd", "old contents\n");
  std::filesystem::create_directory(dir + "/folder.xdd");
  std::filesystem::create_directory(dir + "/locked");
  std::filesystem::permissions(dir + "/locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const struct {
    const char* name;
    std::string target, why;
  } rows[] = {{"a missing folder", dir + "/no/such/out.xdd", "the folder " + dir + "/no/such does not exist"},
              {"a file where the folder should be", path + "/out.xdd", path + " is not a folder"},
              {"a folder of the file's name", dir + "/folder.xdd", "it is a folder"},
              // The superuser writes anywhere: the row then expects the file to be written.
              {"a folder without write permission", dir + "/locked/out.xdd", ::geteuid() == 0 ? "" : "Permission denied"}};
  xdd_10* x = new_file("");
  profile(x).set_first_step_count(0, 1, 4);
  profile(x).y.allocate(4);
  for (const auto& c : rows) {
    forget_messages();
    x->path_node()->set_text(c.target.c_str());
    EXPECT_EQ(x->data()->write_xdd(), c.why.empty()) << c.name;
    EXPECT_EQ(shown_texts(), c.why.empty() ? strings{} : strings{c.target + ": Cannot write file: " + c.why}) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/folder.xdd"));
  // A profile without points would make a file that no reader accepts: the file it would have replaced stays.
  forget_messages();
  x->path_node()->set_text(path.c_str());
  profile(x).y.free_storage();
  EXPECT_FALSE(x->data()->write_xdd());
  EXPECT_EQ(shown_texts(), strings{path + ": Cannot save file"});
  EXPECT_EQ(read_file(path), "old contents\n");
  std::filesystem::permissions(dir + "/locked", std::filesystem::perms::owner_all);
}

TEST_F(DataFiles, TheReaderIsChosenByTheExtensionWhateverItsCaseAndWhatIsNotLoadedIsExplained) {
  const std::string xdd = "Xdd\n1 0.5 2.5\n1 1 1.54\n1 2 3 4\n";
  std::filesystem::create_directory(dir + "/folder.xdd");
  std::filesystem::create_directory(dir + "/folder");
  const struct {
    std::string path;
    bool loads;
    std::string message;  // what the user is told, "" for nothing
  } rows[] = {{write_file("SCAN.XDD", xdd), true, ""},
              {write_file("Scan.Cpi", "Cpi\n1\n2.5\n0.5\nCu\n1.54\nSCANDATA\n1\n2\n3\n4\n"), true, ""},
              {write_file("run.2024.05.xdd", xdd), true, ""},
              {write_file("scan", xdd), false, "No reader for the file type of " + dir + "/scan"},
              {write_file("scan.txt", xdd), false, "No reader for the file type of " + dir + "/scan.txt"},
              {write_file("scan.prj", xdd), false, ""},  // an extension naming an object that is no reader
              {dir + "/absent.xdd", false, dir + "/absent.xdd: Cannot open file"},
              {"", false, "No file name: Cannot open file"},
              {dir + "/folder.xdd", false, dir + "/folder.xdd: is a folder, not a data file"},
              {dir + "/folder", false, dir + "/folder: is a folder, not a data file"}};
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(c.path);
    EXPECT_EQ(x->execute() != nullptr, c.loads) << c.path;
    EXPECT_EQ(shown_texts(), c.message.empty() ? strings{} : strings{c.message}) << c.path;
    EXPECT_STREQ(global_error_message().c_str(), c.loads ? "" : "yes") << c.path;
    EXPECT_EQ(profile(x).n, c.loads ? 4 : 0) << c.path;
    EXPECT_EQ(x->data()->input(), nullptr) << "the file is closed after the load: " << c.path;
  }
}

TEST_F(DataFiles, RealScansLoadWithTheirCountsAndValues) {
  xdd_10* corundum = new_file(XRDF_TEST_DATA "/corundum.xdd");
  ASSERT_NE(corundum->execute(), nullptr);
  const xy_data_3& c = profile(corundum);
  EXPECT_EQ(std::tuple(c.n, c.y.count(), c.x1, c.x2), std::tuple(3921, 3921, 4.5, 89.99912));
  EXPECT_DOUBLE_EQ(c.xd, (89.99912 - 4.5) / 3920);
  EXPECT_EQ(std::pair(member(corundum, "tBime"), member(corundum, "lBambda")), std::pair(33.44, 1.5406));
  EXPECT_EQ(std::tuple(c.y[0], c.y[3920], c.max_y), std::tuple(162.0f, 31.0f, 4661.0));
  EXPECT_STREQ(corundum->data()->comment.c_str(), "Corundum standard, Cu Ka, Bruker diffractometer, 2006");

  xdd_10* fragment = new_file(XRDF_TEST_DATA "/pyxrd-fragment.cpi");
  ASSERT_NE(fragment->execute(), nullptr);
  const xy_data_3& f = profile(fragment);
  EXPECT_EQ(std::tuple(f.n, f.x1, f.x2), std::tuple(37, 3.01, 3.73));
  EXPECT_DOUBLE_EQ(f.xd, 0.02);
  EXPECT_EQ(std::pair(f.y[0], f.y[6]), std::pair(60.0f, 5.5106383f));
  EXPECT_FLOAT_EQ(f.y[36], -6.9509804f) << "the last number, with no newline after it";
  EXPECT_DOUBLE_EQ(member(fragment, "lBambda"), 1.5406) << "written with a decimal comma: 1,5406";
  EXPECT_EQ(fragment->member("tBime"), nullptr) << "a CPI file has no count time";
  EXPECT_EQ(shown_texts(), strings{});
}

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
}

class References : public DataFiles {
 protected:
  assoc_class* bin() { return find_existing(*app, "dAeletion_bin"); }
  ptr_class_4* refer_to(assoc_class* target) { return dynamic_cast<ptr_class_4*>(list->add_reference(target)); }

  assoc_class* holder = app->create_child_by_name("hAolder");
  ptr_classes_4* list = dynamic_cast<ptr_classes_4*>(holder->create_child_by_name("ptr_classes_4"));
  assoc_class* a = holder->create_child_by_name("tAarget");
  assoc_class* b = holder->create_child_by_name("tAarget");
};

TEST_F(References, AListRefersToEachNodeOnce) {
  assoc_class* ra = list->add_reference(a);
  EXPECT_EQ(list->add_reference(a), ra);
  list->add_reference(b);
  EXPECT_EQ(list->targets(), (node_list{a, b}));
  EXPECT_EQ(list->add_reference(nullptr), nullptr);
  EXPECT_TRUE(list->remove_reference(a));
  EXPECT_FALSE(list->refers_to(a));
  EXPECT_EQ(list->child_count(), 1);
}

TEST_F(References, AReferenceWhoseTargetDiesEmptiesAndMovesToTheBinIfThereIsOne) {
  ptr_class_4* ra = refer_to(a);
  ptr_class_4* rb = refer_to(b);
  holder->delete_child(a);
  EXPECT_EQ(bin(), nullptr) << "no bin is built while a node is torn down";
  EXPECT_EQ(ra->parent(), list);
  EXPECT_EQ(ra->target(), nullptr);
  EXPECT_EQ(list->targets(), node_list{b});
  app->create_child_by_name("dAeletion_bin");
  holder->delete_child(b);
  EXPECT_EQ(rb->target(), nullptr);
  EXPECT_EQ(rb->parent(), bin());
  EXPECT_EQ(list->child_count(), 1);
}

TEST_F(References, ReferencesDyingWithTheirTargetsStayOutOfTheBin) {
  app->create_child_by_name("dAeletion_bin");
  list->add_reference(a);
  list->add_reference(b);
  app->delete_child(holder);  // the list and its targets go together
  EXPECT_EQ(bin()->child_count(), 0);
}

TEST_F(References, RepointingAReferenceIsNoDeathOfItsTarget) {
  app->create_child_by_name("dAeletion_bin");
  ptr_class_4* r = refer_to(a);
  r->set_object(b);
  EXPECT_EQ(r->target(), b);
  holder->delete_child(a);
  EXPECT_EQ(r->parent(), list) << "the old target's death is none of its business";
  r->set_object(nullptr);
  holder->delete_child(b);
  EXPECT_EQ(r->parent(), list);
}

}  // namespace
