// The reflections of the cubic lattices and of hkl files, and what is
// refused in each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "synthetic_pattern.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/peak_search.h"

namespace {

std::vector<std::string> first_labels(const std::vector<reflection>& r, std::size_t count) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < std::min(count, r.size()); ++i) out.push_back(r[i].label);
  return out;
}

TEST(CubicReflections, EachLatticeListsItsFirstAllowedReflectionsAtTheirSpacings) {
  const struct {
    const char* lattice;
    std::vector<std::string> first;
  } rows[] = {
      {"sc:4.15692", {"100", "110", "111", "200", "210", "211", "220", "300/221", "310"}},
      {"bcc:2.8665", {"110", "200", "211", "220", "310", "222", "321", "400", "411/330"}},
      {"fcc:3.6149", {"111", "200", "220", "311", "222", "400", "331", "420", "422"}},
      {"diamond:5.4309", {"111", "220", "311", "400", "331", "422", "511/333", "440", "531"}},
  };
  for (const auto& c : rows) {
    cubic_lattice lattice;
    std::string why;
    ASSERT_TRUE(parse_lattice(c.lattice, lattice, why)) << why;
    const std::vector<reflection> r = reflections_of(lattice, 0.1);
    EXPECT_EQ(first_labels(r, c.first.size()), c.first) << c.lattice;
    // d = a / √(h² + k² + l²).
    for (const reflection& each : r)
      EXPECT_NEAR(each.d_A, lattice.a_A / std::sqrt(each.h * each.h + each.k * each.k + each.l * each.l), 1e-12);
  }
}

TEST(CubicReflections, BraggsLawPlacesIron110AndRefusesASpacingBeyondReach) {
  // d(110) = a / √2 = 2.02694 Å; 2θ = 2 asin(λ / 2d) = 44.6717° at Cu K-alpha1.
  EXPECT_NEAR(bragg_two_theta_deg(2.8665 / std::sqrt(2.0), 1.5406), 44.6717, 1e-4);
  EXPECT_NEAR(bragg_d_A(44.6717, 1.5406), 2.8665 / std::sqrt(2.0), 1e-5);
  EXPECT_TRUE(std::isnan(bragg_two_theta_deg(0.7, 1.5406)));
}

TEST(CubicReflections, ALatticeWrittenWronglyIsRefusedNamingTheFieldAndTheCause) {
  const struct {
    const char* text;
    const char* said;
  } rows[] = {{"bcc", "lattice \"bcc\": write it as KIND:A"},
              {"hcp:3.2", "lattice \"hcp:3.2\": the kind \"hcp\" is none of sc, bcc, fcc, diamond"},
              {"fcc:3,6", "lattice \"fcc:3,6\": the lattice parameter \"3,6\" is not a number"},
              {"bcc:", "lattice \"bcc:\": the lattice parameter \"\" is not a number"},
              {"sc:-4", "lattice \"sc:-4\": the lattice parameter must lie above 0"},
              {"diamond:nan", "the lattice parameter \"nan\" is not a number"}};
  for (const auto& c : rows) {
    cubic_lattice lattice;
    std::string why;
    EXPECT_FALSE(parse_lattice(c.text, lattice, why)) << c.text;
    EXPECT_NE(why.find(c.said), std::string::npos) << c.text << ": " << why;
  }
}

class HklFile : public ::testing::Test {
 protected:
  std::string write(const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  ~HklFile() override { std::filesystem::remove(path); }
  std::string path = (std::filesystem::temp_directory_path() / ("xrd_hkl_" + std::to_string(::getpid()) + ".txt")).string();
};

TEST_F(HklFile, RowsOfHklAndDIndexTheLinesTheyPlace) {
  write("# ferrite, from a = 2.8665 A\n\n2 0 0 1.433250   # second\n1 1 0 2.026941\n");
  std::vector<reflection> r;
  std::string why;
  ASSERT_TRUE(read_reflections(path, r, why)) << why;
  ASSERT_EQ(first_labels(r, 3), (std::vector<std::string>{"110", "200"}));
  found_line at_110, elsewhere;
  at_110.position_x = 44.70;
  at_110.fwhm_x = 0.2;
  elsewhere.position_x = 50.0;
  const line_indexing indexing = index_lines({at_110, elsewhere}, r, synthetic_pattern::lambda1_A);
  ASSERT_EQ(indexing.indexed.size(), 1u);
  EXPECT_EQ(indexing.indexed[0].hkl.label, "110");
  EXPECT_NEAR(indexing.indexed[0].offset_deg, 44.70 - 44.6717, 1e-3);
  EXPECT_EQ(indexing.unindexed, std::vector<std::size_t>{1});
}

TEST_F(HklFile, AFileThatCannotBeReadIsRefusedNamingTheLineAndTheCause) {
  const struct {
    const char* name;
    std::string text;
    std::string said;
  } rows[] = {{"three values", "1 1 0 2.02\n2 0 0\n", ", line 2: a row is h k l d, four values, not 3"},
              {"a fraction for k", "# c\n1 1.5 0 2.02\n", ", line 2: k \"1.5\" is not a whole number"},
              {"a word for d", "1 1 0 two\n", ", line 1: d \"two\" is not a number"},
              {"a negative d", "1 1 0 -2\n", ", line 1: d must lie above 0 A"},
              {"only comments", "# nothing\n\n", ": the file holds no h k l d row"}};
  for (const auto& c : rows) {
    write(c.text);
    std::vector<reflection> r{{1, 1, 0, 2.0, "kept"}};
    std::string why;
    EXPECT_FALSE(read_reflections(path, r, why)) << c.name;
    EXPECT_EQ(why, path + c.said) << c.name;
    EXPECT_EQ(r.size(), 1u) << c.name << ": what was there is kept";
  }
  std::vector<reflection> r;
  std::string why;
  EXPECT_FALSE(read_reflections(path + ".missing", r, why));
  EXPECT_EQ(why, path + ".missing: the file cannot be opened");
}

}  // namespace
