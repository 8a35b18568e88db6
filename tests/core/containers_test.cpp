#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include <ostream>
#include <string>

#include "core/assoc_class.h"
#include "core/my_ctr.h"
#include "core/my_stack.h"
#include "core/my_string.h"
#include "core/non_owns_3.h"
#include "core/text_helpers.h"

namespace {

TEST(GrowableList, GrowsByItsIncrementWhenFull) {
  my_ctr_obj<int> list;
  for (int i = 0; i < 10; ++i) list.append(i);
  EXPECT_EQ(list.capacity(), 10);
  list.append(10);
  EXPECT_EQ(list.capacity(), 20);
  EXPECT_EQ(list.count(), 11);
  EXPECT_EQ(list[10], 10);
  EXPECT_EQ(list[0], 0) << "growth must keep the old elements";
}

TEST(GrowableList, KeepsElementsAtTheirIndicesAfterRebase) {
  my_ctr_obj<int> list;
  for (int i = 0; i < 5; ++i) list.append(100 + i);
  list.rebase(1);
  EXPECT_EQ(list[1], 100);
  EXPECT_EQ(list[5], 104);
  list.remove_at(2);
  EXPECT_EQ(list.count(), 4);
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
  EXPECT_TRUE(source->storage_borrowed());
  EXPECT_FALSE(target.storage_borrowed());
  source.reset();  // must not free what the target now owns
  EXPECT_EQ(target[2], 42);
}

TEST(Stack, PopsInReverseAndIsSafeWhenEmpty) {
  my_stack<int> s;
  s.push(1);
  s.push(2);
  EXPECT_EQ(s.pop(), 2);
  EXPECT_EQ(s.pop(), 1);
  EXPECT_EQ(s.pop(), 0);
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
  EXPECT_STREQ(list.child(4)->class_name(), "echo");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(list.find_sorted(list.child(i)->class_name(), 0, 4), i) << list.child(i)->class_name();
  EXPECT_EQ(list.find_sorted("foxtrot", 0, 4), not_found);
  EXPECT_EQ(list.find_sorted("aardvark", 0, 4), not_found);

  assoc_class one;
  one.add_child(std::make_unique<named>("solo"));
  EXPECT_EQ(one.find_sorted("solo", 0, 0), 0);
  assoc_class none;
  EXPECT_EQ(none.find_sorted("x", 0, -1), not_found);
}

TEST(String, AssignKeepsTheBufferAndAppendGrowsExactly) {
  my_string s("0123456789012345678901234567890123456789");
  ASSERT_EQ(s.capacity(), 41);
  s.assign("");
  EXPECT_EQ(s.capacity(), 41);
  EXPECT_STREQ(s.c_str(), "");
  s.assign("ab").append("cd").append(3).append(' ').append(2.5);
  EXPECT_STREQ(s.c_str(), "abcd3 2.5000");
  my_string t("ab");
  t.append("cdef");
  EXPECT_EQ(t.capacity(), 7);
  my_string self("xy");
  self.append(self.c_str()).append(self.c_str());
  EXPECT_STREQ(self.c_str(), "xyxyxyxy") << "appending itself must not read freed memory";
}

struct words_case {
  const char* text;
  int drop;
  const char* expected;
};

void PrintTo(const words_case& c, std::ostream* os) { *os << '"' << c.text << "\" drop " << c.drop; }

class DropLastWords : public ::testing::TestWithParam<words_case> {};

TEST_P(DropLastWords, CutsAtTheStartOfTheNthWordFromTheEnd) {
  my_string s(GetParam().text);
  EXPECT_STREQ(s.drop_last_words(GetParam().drop).c_str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, DropLastWords,
                         ::testing::Values(words_case{"win_misc c root_directory", 2, "win_misc "},
                                           words_case{"a b c", 1, "a b "}, words_case{"a b c  ", 1, "a b "},
                                           words_case{"one", 1, ""}, words_case{"one", 5, ""},
                                           words_case{"a b", 0, "a b"}));

TEST(String, TrimsEverySeparatorIncludingByte255) {
  my_string s(" \t\n\xff ");
  EXPECT_STREQ(s.trim().c_str(), "");
  my_string t("\xff  word \t");
  EXPECT_STREQ(t.trim().c_str(), "word");
}

TEST(String, WordEditingAndCentering) {
  my_string s("a ab a b");
  EXPECT_STREQ(s.replace_word_char('a', 'x').c_str(), "x ab x b");
  EXPECT_EQ(s.word_count(), 4);
  EXPECT_TRUE(s.has_more_words_than(3));
  my_string c("ab");
  EXPECT_STREQ(c.center(7).c_str(), "  ab");
  EXPECT_STREQ(c.pad_right(6).c_str(), "  ab  ");
  EXPECT_TRUE(my_string("x").is_char('x'));
  EXPECT_FALSE(my_string("xx").is_char('x'));
  EXPECT_FALSE(my_string("x").equals(nullptr));
}

struct extension_case {
  const char* path;
  const char* ext;
  const char* expected;
};

void PrintTo(const extension_case& c, std::ostream* os) { *os << c.path << " + " << c.ext; }

class SetExtension : public ::testing::TestWithParam<extension_case> {};

TEST_P(SetExtension, ReplacesOnlyTheFileNamesExtensionAndKeepsCase) {
  my_string s(GetParam().path);
  EXPECT_STREQ(s.set_extension(GetParam().ext).c_str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, SetExtension,
                         ::testing::Values(extension_case{"/data/Scan.CPI", "xdd", "/data/Scan.xdd"},
                                           extension_case{"./scan.cpi", "xdd", "./scan.xdd"},
                                           extension_case{"/home/a.b/Run", "PRJ", "/home/a.b/Run.PRJ"},
                                           extension_case{"plain", "txt", "plain.txt"},
                                           extension_case{"run.2024.xdd", "prj", "run.2024.prj"},
                                           extension_case{"/data/v1.2/run.2024.05.cpi", "xdd",
                                                          "/data/v1.2/run.2024.05.xdd"}));

struct number_case {
  double x;
  const char* expected;
};

void PrintTo(const number_case& c, std::ostream* os) { *os << c.expected; }

class FourDecimals : public ::testing::TestWithParam<number_case> {};

TEST_P(FourDecimals, FormatsLeftAlignedWithFourDecimals) {
  EXPECT_EQ(text_of(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, FourDecimals,
                         ::testing::Values(number_case{2.5, "2.5000"}, number_case{-0.00004, "-0.0000"},
                                           number_case{0.0, "0.0000"}, number_case{1234567.891, "1234567.8910"}));

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

TEST(NumberHelpers, NearestRoundsHalfAwayFromZeroAndSaturates) {
  EXPECT_EQ(nearest(2.5), 3);
  EXPECT_EQ(nearest(-2.5), -3);
  EXPECT_EQ(nearest(2.49), 2);
  EXPECT_EQ(nearest(1e300), 2147483647);
  EXPECT_EQ(nearest(-1e300), -2147483647 - 1);
  EXPECT_EQ(even_below(7), 6);
  EXPECT_EQ(odd_above(6), 7);
  EXPECT_DOUBLE_EQ(at_least_magnitude(0.0, 1e-3), 1e-3);
  EXPECT_DOUBLE_EQ(at_least_magnitude(-1e-9, 1e-3), -1e-3);
  double lo = 0;
  double hi = 0;
  EXPECT_FALSE(overlap(0, 1, 2, 3, lo, hi));
  EXPECT_TRUE(overlap(0, 2, 1, 3, lo, hi));
  EXPECT_DOUBLE_EQ(lo, 1);
  EXPECT_DOUBLE_EQ(hi, 2);
}

}  // namespace
