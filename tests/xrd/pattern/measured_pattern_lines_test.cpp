// The measured iron and LaB6 exports, read as the program reads them: the
// lines found above their background and indexed with their lattices.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../files/data_file_fixture.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/pattern_background.h"
#include "xrd/pattern/peak_search.h"

namespace {

class MeasuredPatterns : public data_file_fixture::DataFiles {
 protected:
  // The export as the program reads it: resampled to an even step.
  void load(const char* name) {
    xdd_10* file = new_file(std::string(XRDF_TEST_DATA "/") + name);
    ASSERT_NE(file->execute(), nullptr) << name;
    const xy_data_3& p = profile(file);
    for (int i = 0; i < p.n; ++i) {
      x.push_back(p.x1 + i * p.xd);
      y.push_back(p.y[i]);
    }
  }
  line_indexing search_and_index(const char* lattice_text) {
    found = find_lines(x, y, background_of(x, y).y);
    EXPECT_TRUE(found.ok()) << found.why;
    cubic_lattice lattice;
    std::string why;
    EXPECT_TRUE(parse_lattice(lattice_text, lattice, why)) << why;
    return index_lines(found.lines, reflections_of(lattice, 0.5), 1.5406);
  }
  std::vector<double> x, y;
  peak_search found;
};

std::vector<std::string> labels(const line_indexing& indexing) {
  std::vector<std::string> out;
  for (const auto& l : indexing.indexed) out.push_back(l.hkl.label);
  return out;
}

TEST_F(MeasuredPatterns, TheMeasuredIronHasItsFiveLinesFoundAndIndexed) {
  load("d8_fe_sample.csv");
  const line_indexing indexing = search_and_index("bcc:2.866");
  EXPECT_EQ(labels(indexing), (std::vector<std::string>{"110", "200", "211", "220", "310"}));
  EXPECT_TRUE(indexing.unindexed.empty());
  // The doublet of the broadened iron is never resolved: no K-alpha2 top.
  for (const found_line& l : found.lines) EXPECT_TRUE(std::isnan(l.ka2_x)) << l.position_x;
}

TEST_F(MeasuredPatterns, TheLab6StandardHasEveryLineFoundIndexed) {
  load("d8_lab6_standard.csv");
  const line_indexing indexing = search_and_index("sc:4.15692");
  // Every reflection of the cubic cell below the scan's end at 119.3 deg
  // (332 lies at 120.7), none twice and nothing else.
  EXPECT_EQ(labels(indexing), (std::vector<std::string>{"100", "110", "111", "200", "210", "211", "220", "300/221",
                                                        "310", "311", "222", "320", "321", "400", "410/322",
                                                        "411/330", "331", "420", "421"}));
  EXPECT_TRUE(indexing.unindexed.empty());
}

}  // namespace
