#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/assoc_class.h"
#include "core/my_ctr.h"
#include "core/my_string.h"
#include "core/non_owns_3.h"
#include "core/text_helpers.h"

namespace {

TEST(GrowableList, KeepsElementsAtTheirIndicesThroughGrowthRebaseRemoveAndInsert) {
  my_ctr_obj<int> list;
  for (int i = 0; i < 11; ++i) list.append(100 + i);  // one past the first allocation
  EXPECT_EQ(list.count(), 11);
  EXPECT_EQ(list[0], 100) << "growth must keep the old elements";
  EXPECT_EQ(list[10], 110);
  list.rebase(1);
  EXPECT_EQ(list[1], 100);
  list.remove_at(2);
  EXPECT_EQ(list.count(), 10);
  EXPECT_EQ(list[2], 102);
  list.insert_at(1, 7);
  EXPECT_EQ(list[1], 7);
  EXPECT_EQ(list[2], 100);
}

TEST(GrowableList, TakeStorageLeavesTheSourceHarmless) {
  auto source = std::make_unique<my_glist_obj<int>>(4);
  (*source)[2] = 42;
  my_glist_obj<int> target;
  target.take_storage(*source);
  source.reset();  // must not free what the target now owns
  EXPECT_EQ(target[2], 42);
  EXPECT_FALSE(target.storage_borrowed());
}

TEST(PointerList, UniquePointersDropsRepeats) {
  non_owns_3 list;
  assoc_class a;
  assoc_class b;
  list.add_child(&a);
  list.add_child(&b);
  list.add_child(&a);
  list.unique_pointers();
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(a.parent(), nullptr) << "a non-owning list never becomes the parent";
}

struct named : assoc_class {
  explicit named(std::string n) : name(std::move(n)) {}
  const char* class_name() const override { return name.c_str(); }
  std::string name;
};

TEST(SortedSearch, FindsEveryElementAndReportsMisses) {
  assoc_class list;
  for (const char* n : {"delta", "alpha", "echo", "charlie", "bravo"}) list.add_child(std::make_unique<named>(n));
  list.sort_children();
  EXPECT_STREQ(list.child(0)->class_name(), "alpha");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(list.find_sorted(list.child(i)->class_name(), 0, 4), i) << list.child(i)->class_name();
  EXPECT_EQ(list.find_sorted("foxtrot", 0, 4), not_found);
  EXPECT_EQ(list.find_sorted("aardvark", 0, 4), not_found);
  assoc_class one;
  one.add_child(std::make_unique<named>("solo"));
  EXPECT_EQ(one.find_sorted("solo", 0, 0), 0);
  EXPECT_EQ(assoc_class().find_sorted("x", 0, -1), not_found);
}

TEST(String, AppendsEveryKindAndItselfSafely) {
  my_string s("0123456789012345678901234567890123456789");
  s.assign("ab").append("cd").append(3).append(' ').append(2.5);
  EXPECT_STREQ(s.c_str(), "abcd3 2.5000");
  my_string self("xy");
  self.append(self.c_str()).append(self.c_str());
  EXPECT_STREQ(self.c_str(), "xyxyxyxy") << "appending itself must not read freed memory";
}

TEST(String, WordEditing) {
  const struct {
    const char* what;
    std::string got;
    const char* expected;
  } rows[] = {
      {"drop 2 of a query", my_string("win_misc c root_directory").drop_last_words(2).c_str(), "win_misc "},
      {"drop 1", my_string("a b c").drop_last_words(1).c_str(), "a b "},
      {"drop 1 before trailing blanks", my_string("a b c  ").drop_last_words(1).c_str(), "a b "},
      {"drop the only word", my_string("one").drop_last_words(1).c_str(), ""},
      {"drop more words than there are", my_string("one").drop_last_words(5).c_str(), ""},
      {"drop none", my_string("a b").drop_last_words(0).c_str(), "a b"},
      {"trim every separator including byte 255", my_string(" \t\n\xff ").trim().c_str(), ""},
      {"trim both ends", my_string("\xff  word \t").trim().c_str(), "word"},
      {"replace a one-letter word only", my_string("a ab a b").replace_word_char('a', 'x').c_str(), "x ab x b"},
      {"center", my_string("ab").center(7).c_str(), "  ab"},
      {"center then pad", my_string("ab").center(7).pad_right(6).c_str(), "  ab  "},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.expected) << r.what;
  EXPECT_EQ(my_string("a ab a b").word_count(), 4);
  EXPECT_TRUE(my_string("a ab a b").has_more_words_than(3));
  EXPECT_FALSE(my_string("xx").is_char('x'));
  EXPECT_FALSE(my_string("x").equals(nullptr));
}

TEST(String, SetExtensionReplacesOnlyTheFileNamesExtension) {
  const struct {
    const char* path;
    const char* ext;
    const char* expected;
  } rows[] = {{"/data/Scan.CPI", "xdd", "/data/Scan.xdd"},
              {"./scan.cpi", "xdd", "./scan.xdd"},
              {"/home/a.b/Run", "PRJ", "/home/a.b/Run.PRJ"},
              {"plain", "txt", "plain.txt"},
              {"/data/v1.2/run.2024.05.cpi", "xdd", "/data/v1.2/run.2024.05.xdd"}};
  for (const auto& r : rows) EXPECT_STREQ(my_string(r.path).set_extension(r.ext).c_str(), r.expected) << r.path;
}

TEST(Formatting, RejectsFormatsThatWouldReadMissingArguments) {
  EXPECT_EQ(format_number("%-1.2f", 3.14159), "3.14");
  EXPECT_EQ(format_number("%s", 1.0), "1.0000");
  EXPECT_EQ(format_number("%f %f", 1.0), "1.0000");
  EXPECT_EQ(format_number("%n", 1.0), "1.0000");
  EXPECT_EQ(format_int("%5d", 42), "   42");
  EXPECT_EQ(format_int("%s", 42), "42");
}

// Reports and projects write their numbers through a faster path than
// printf; what a file holds must not change by a character.
TEST(Formatting, FixedFormatsGivePrintfsCharactersForEveryKindOfValue) {
  std::vector<double> values = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.375, 1e-300, 9.999999999999999e14, 1e15, 9.9e9, 1.8e10, 0.00005, -0.00005, 0.00015, 0.00025, 2.5e-5, 1.00005, 0.125, 1e-320,
                                1e15 + 0.5, 123456789.987654321, -1.7976931348623157e308, 1.7976931348623157e308,
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::quiet_NaN()};
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 20000; ++i) values.push_back(unit(rng) * std::pow(10.0, static_cast<int>(rng() % 24) - 12));
  for (int i = 0; i < 2000; ++i) values.push_back(static_cast<double>(static_cast<int>(rng() % 200001) - 100000) / 1e5 + 5e-5);
  for (const char* format : {"%-1.4f", "%.4f", "%-1.0f", "%.2f", "%.3f", "%-1.9f"}) {
    for (double x : values) {
      char expected[400];
      std::snprintf(expected, sizeof expected, format, x);
      ASSERT_EQ(format_number(format, x), expected) << format << " of " << std::hexfloat << x;
    }
  }
}

TEST(NumberHelpers, NearestRoundsHalfAwayFromZeroAndSaturatesAndOverlapIsTheCommonPart) {
  EXPECT_EQ(nearest(2.5), 3);
  EXPECT_EQ(nearest(-2.5), -3);
  EXPECT_EQ(nearest(2.49), 2);
  EXPECT_EQ(nearest(1e300), 2147483647);
  EXPECT_EQ(nearest(-1e300), -2147483647 - 1);
  double lo = 0;
  double hi = 0;
  EXPECT_FALSE(overlap(0, 1, 2, 3, lo, hi));
  EXPECT_TRUE(overlap(0, 2, 1, 3, lo, hi));
  EXPECT_EQ(std::pair(lo, hi), std::pair(1.0, 2.0));
}

}  // namespace
