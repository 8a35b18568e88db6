// The pairs of orders among a pattern's indexed lines: exactly those present,
// in bcc and fcc patterns, with cubic equivalents and duplicates.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "xrd/pattern/order_pairs.h"

namespace {

std::vector<std::string> labels(const std::vector<order_pair>& pairs) {
  std::vector<std::string> out;
  for (const auto& p : pairs) out.push_back(p.label());
  return out;
}

struct pairs_case {
  std::string name;
  std::vector<std::array<int, 3>> lines;
  std::vector<std::string> pairs;
};

class AnIndexedPattern : public testing::TestWithParam<pairs_case> {};

TEST_P(AnIndexedPattern, OffersExactlyThePairsOfOrdersItHolds) {
  EXPECT_EQ(labels(order_pairs(GetParam().lines)), GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Lattices, AnIndexedPattern,
    testing::Values(
        // 330 and 411 share a d; only 330 is an order of 110. 222 has no 111 in bcc.
        pairs_case{"BccToThe411",
                   {{1, 1, 0}, {2, 0, 0}, {2, 1, 1}, {2, 2, 0}, {3, 1, 0}, {2, 2, 2}, {3, 2, 1}, {4, 0, 0}, {3, 3, 0}, {4, 1, 1}},
                   {"110/220", "110/330", "200/400", "220/330"}},
        pairs_case{"FccToThe420",
                   {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}, {3, 1, 1}, {2, 2, 2}, {4, 0, 0}, {3, 3, 1}, {4, 2, 0}},
                   {"111/222", "200/400"}},
        pairs_case{"BccOfTheFirstThreeLines", {{1, 1, 0}, {2, 0, 0}, {2, 1, 1}}, {}},
        // Listed high order first, and as cubic equivalents of each other.
        pairs_case{"WrittenInAnyOrderAndSetting", {{0, 2, 2}, {1, 0, 1}, {0, 0, 4}, {-2, 0, 0}}, {"101/022", "-200/004"}},
        pairs_case{"WithALineIndexedTwice", {{1, 1, 0}, {2, 2, 0}, {1, 1, 0}}, {"110/220"}},
        pairs_case{"WithLargeIndices", {{1, 0, 0}, {10, 0, 0}}, {"100/10 0 0"}}),
    [](const testing::TestParamInfo<pairs_case>& info) { return info.param.name; });

TEST(OrderPairs, APairNamesItsLinesAndTheirOrders) {
  const std::vector<order_pair> pairs = order_pairs({{2, 0, 0}, {1, 1, 0}, {4, 0, 0}, {2, 2, 0}});
  ASSERT_EQ(pairs.size(), 2u);
  // In the order the lines come: 200 is listed before 110.
  EXPECT_EQ(pairs[0].first, 0u);
  EXPECT_EQ(pairs[0].second, 2u);
  EXPECT_EQ(pairs[0].first_order, 2);
  EXPECT_EQ(pairs[0].second_order, 4);
  EXPECT_EQ((pairs[0].direction), (std::array<int, 3>{1, 0, 0}));
  EXPECT_EQ(pairs[1].first, 1u);
  EXPECT_EQ(pairs[1].second, 3u);
  EXPECT_EQ(pairs[1].first_order, 1);
  EXPECT_EQ(pairs[1].second_order, 2);
}

}  // namespace
