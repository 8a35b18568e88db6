// The title of a graph view names the families of curves it shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "app/views/set_vw_title_3.h"

TEST(ViewTitle, NamesTheFamiliesShown) {
  const std::pair<std::uint32_t, const char*> rows[] = {{0, ""},
                                                        {0x100, ",Yo"},
                                                        {0x700, ",Yo,Inv,Dec"},
                                                        {0x20, ",FT(Yo),"},
                                                        {0x80, ",FT(Yo)/FT(Ref)"},
                                                        {0x50, ",FT(Yo),,FT(Yo)/FT(Ref)"},
                                                        {0x110, ",FT(Yo),"}};  // frequencies hide the profile
  for (auto [bits, suffix] : rows) EXPECT_EQ(families_title_suffix(bits), suffix) << std::hex << bits;
}
