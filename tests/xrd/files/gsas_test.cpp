#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "data_file_fixture.h"

namespace {

using namespace data_file_fixture;

std::string description(xdd_10* x) { return x->data()->comment.c_str(); }

// The scan the layouts below write: 23 counts from 10 degrees in steps of
// 0.02, so that the fixed-width layouts end on a part-filled line.
constexpr int points = 23;
double count_at(int i) { return 100 + 7 * i; }
double centidegrees_at(int i) { return 1000 + 2 * i; }

std::string printed(const char* format, auto... values) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

// Fixed-width groups, `per_line` to an 80-column record; the last record
// is cut after its last group, as most writers do.
std::string records(const std::vector<std::string>& groups, int per_line) {
  std::string out, line;
  for (std::size_t k = 0; k < groups.size(); ++k) {
    line += groups[k];
    if ((k + 1) % per_line == 0 || k + 1 == groups.size()) {
      if (line.size() < 80 && (k + 1) % per_line == 0) line.resize(80, ' ');
      out += line + "\n";
      line.clear();
    }
  }
  return out;
}

// (10(I2,F6.0)): a number of counters, blank for one, before each count.
std::string std_records(int n = points) {
  std::vector<std::string> g;
  for (int i = 0; i < n; ++i) g.push_back(printed("%2s%6.0f", i % 3 == 0 ? " 1" : "", count_at(i)));
  return records(g, 10);
}
// (10F8.0): count and esd pairs.
std::string esd_records() {
  std::vector<std::string> g;
  for (int i = 0; i < points; ++i) g.push_back(printed("%8.0f%8.2f", count_at(i), std::sqrt(count_at(i))));
  return records(g, 5);
}
// (4(F8.0,F7.4,F5.4)): angle, count and esd triples.
std::string alt_records() {
  std::vector<std::string> g;
  for (int i = 0; i < points; ++i)
    g.push_back(printed("%8.1f%7.1f%5.1f", centidegrees_at(i), count_at(i), std::sqrt(count_at(i))));
  return records(g, 4);
}
std::string fxye_rows(int n = points, double start = 1000, double step = 2) {
  std::string out;
  for (int i = 0; i < n; ++i) out += printed("%10.3f %10.2f %8.3f\n", start + step * i, count_at(i), std::sqrt(count_at(i)));
  return out;
}

TEST_F(DataFiles, EveryGsasLayoutLoadsWithItsAnglesCountsAndWavelength) {
  write_file("cu.prm", "            123456789012345678901234567890123456789012345678901234567890\n"
                       "INS   BANK      1\n"
                       "INS  1 ICONS  1.540500  1.544300  0.000000         0  0.500000    0       0.0\n");
  write_file("lab.instprm", "#GSAS-II instrument parameter file\nType:PXC\nLam:1.788970\nZero:0.0\n");
  const struct {
    const char* name;
    const char* file;
    std::string text;
    double lambda;
    const char* said;  // in the description
  } rows[] = {
      {"STD with a wavelength comment", "std.gsa",
       "Quartz, STD layout\n# Wavelength (A) = 1.540598\nBANK 1 23 3 CONS 1000.0 2.0 0 0 STD\n" + std_records(),
       1.540598, "Quartz, STD layout"},
      {"STD without the layout word", "plain.gsa", "Quartz\nBANK 1 23 3 CONS 1000 2 0 0\n" + std_records(), 1.5406,
       "wavelength not in the file: 1.5406 Å assumed"},
      {"ESD with a GSAS parameter file named by a Windows path", "esd.gsas",
       "Quartz, ESD layout\nInstrument parameter file: C:\\gsas\\data\\cu.prm\nBANK 1 23 5 CONS 1000 2 0 0 ESD\n" +
           esd_records(),
       1.5405, "Quartz, ESD layout"},
      {"ALT with a GSAS-II parameter file", "alt.gsa",
       "Quartz, ALT layout\nInstrument parameter file:lab.instprm\nBANK 1 23 6 CONS 1000 2 0 0 ALT\n" + alt_records(),
       1.78897, "Quartz, ALT layout"},
      {"FXYE with no wavelength", "rows.fxye",
       "Quartz, FXYE layout\n# a comment\nBANK 1 23 23 CONS 1000 2 0 0 FXYE\n" + fxye_rows(), 1.5406,
       "Quartz, FXYE layout; wavelength not in the file: 1.5406 Å assumed"},
      {"a parameter file that is not beside the data", "away.fxye",
       "Quartz\nInstrument parameter file: ../gone.prm\nBANK 1 23 23 CONS 1000 2 0 0 FXYE\n" + fxye_rows(), 1.5406,
       "Quartz; instrument parameter file \"gone.prm\" not beside the data; wavelength not in the file"},
      {"a number near the word that cannot be a wavelength", "near.fxye",
       "Quartz\n# wavelength-dispersive, 2 detectors\nBANK 1 23 23 CONS 1000 2 0 0 FXYE\n" + fxye_rows(), 1.5406,
       "Quartz; wavelength not in the file"},
      {"carriage returns", "crlf.gsa", "Quartz\r\n# lambda 1.540598\r\nBANK 1 23 23 CONS 1000 2 0 0 FXYE\r\n" + fxye_rows(),
       1.540598, "Quartz"}};
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(write_file(c.file, c.text));
    ASSERT_NE(x->execute(), nullptr) << c.name << ": " << (shown_texts().empty() ? "" : shown_texts()[0]);
    const xy_data_3& p = profile(x);
    EXPECT_EQ(p.n, points) << c.name;
    EXPECT_DOUBLE_EQ(p.x1, 10.0) << c.name << ": angles are written in centidegrees";
    EXPECT_NEAR(p.xd, 0.02, 1e-12) << c.name;
    EXPECT_NEAR(p.x2, 10.44, 1e-12) << c.name;
    EXPECT_EQ(std::tuple(p.y[0], p.y[points - 1]), std::tuple(100.0f, 254.0f)) << c.name;
    EXPECT_DOUBLE_EQ(member(x, "lBambda"), c.lambda) << c.name;
    EXPECT_NE(description(x).find(c.said), std::string::npos) << c.name << ": " << description(x);
    EXPECT_EQ(shown_texts(), strings{}) << c.name;
  }
}

TEST_F(DataFiles, EachBankOfAGsasFileIsAScanWithItsOwnWavelength) {
  write_file("two.prm", "INS  1 ICONS  1.540500  1.544300  0.0\nINS  2 ICONS  0.709300  0.713590  0.0\n");
  const std::string path =
      write_file("two.gsa", "Two banks\nInstrument parameter file: two.prm\nBANK 1 23 3 CONS 1000 2 0 0 STD\n" +
                                std_records() + "BANK 2 5 5 CONS 2000 5 0 0 FXYE\n" + fxye_rows(5, 2000, 5));
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).y[22]), std::tuple(points, 10.0, 254.0f));
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.5405);
  EXPECT_EQ(description(x), "Two banks; scan 1 of 2; 1 other in the file");
  {
    xdd_data_3::scan_choice second(2);
    ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
    EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).x2, profile(x).y[4]),
              std::tuple(5, 20.0, 20.2, 128.0f));
    EXPECT_DOUBLE_EQ(member(x, "lBambda"), 0.7093);
    EXPECT_EQ(description(x), "Two banks; scan 2 of 2; 1 other in the file");
  }
  forget_messages();
  xdd_data_3::scan_choice missing(3);
  EXPECT_EQ(x->execute(), nullptr);
  EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + "\nThe file holds 2 scans; there is no scan 3"});
}

TEST_F(DataFiles, AGsasFileThatCannotBeReadIsRefusedWithTheCause) {
  const std::string four = fxye_rows(4);
  const struct {
    const char* name;
    std::string text, reason;  // after "Error loading file PATH"
  } rows[] = {
      {"a header with no BANK line", "Quartz\n# Wavelength 1.5406\n1000 100 10\n",
       "\nNo BANK line: the header is not followed by any data"},
      {"an unknown binning", "T\nBANK 1 4 4 LOGX 1000 2 0 0 FXYE\n" + four,
       "\nLine 2: unknown binning \"LOGX\": only CONS (constant-wavelength angles) is read"},
      {"a time-of-flight binning", "T\nBANK 1 4 4 TIME_MAP 1 0 0 0 FXYE\n" + four,
       "\nLine 2: TIME_MAP binning is time of flight: only constant-wavelength banks are read"},
      {"times of flight binned as constants", "T\nBANK 1 4 4 CONS 5000 8000 0 0 FXYE\n" + four,
       "\nLine 2: angles beyond 180 degrees: a time-of-flight bank; only constant-wavelength banks are read"},
      {"an unknown layout", "T\nBANK 1 4 4 CONS 1000 2 0 0 XYE\n" + four,
       "\nLine 2: unknown layout \"XYE\": STD, ESD, ALT or FXYE was expected"},
      {"a bank number beyond any bank's", "T\nBANK 66666666666661 4 4 CONS 1000 2 0 0 FXYE\n" + four,
       "\nLine 2: the BANK number \"66666666666661\" is not a bank's number"},
      {"a BANK line cut short", "T\nBANK 1 4 4 CONS\n" + four,
       "\nLine 2: a BANK line needs its number, points, records, binning, start and step"},
      {"fewer counts than announced", "T\nBANK 1 12 2 CONS 1000 2 0 0 STD\n" + std_records(10),
       "\nLine 2: BANK 1 announces 12 points, the file holds 10"},
      {"fewer rows than announced before the next bank",
       "T\nBANK 1 5 5 CONS 1000 2 0 0 FXYE\n" + four + "BANK 2 4 4 CONS 1000 2 0 0 FXYE\n" + four,
       "\nLine 2: BANK 1 announces 5 points, the file holds 4"},
      {"a count that is no number", "T\nBANK 1 4 1 CONS 1000 2 0 0 STD\n     100     200   abc     400\n",
       "\nLine 3: \"abc\" is not a number"},
      {"a step that does not rise", "T\nBANK 1 4 1 CONS 1000 -2 0 0 STD\n" + std_records(4),
       "\nLine 2: the step \"-2\" does not rise"}};
  for (const auto& c : rows) {
    forget_messages();
    const std::string path = write_file("bad.gsa", c.text);
    xdd_10* x = new_file(path);
    EXPECT_EQ(x->execute(), nullptr) << c.name;
    EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + c.reason}) << c.name;
    EXPECT_EQ(profile(x).n, 0) << c.name;
  }
}

}  // namespace
