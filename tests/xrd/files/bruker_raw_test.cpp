#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "data_file_fixture.h"

namespace {

using namespace data_file_fixture;

// A binary file laid out field by field, little-endian, zeros between.
class raw_image {
 public:
  explicit raw_image(const std::string& magic) { text(0, magic); }
  std::size_t size() const { return bytes_.size(); }
  raw_image& u16(std::size_t at, std::uint32_t v) { return put(at, v, 2); }
  raw_image& u32(std::size_t at, std::uint32_t v) { return put(at, v, 4); }
  raw_image& f32(std::size_t at, float v) { return put(at, std::bit_cast<std::uint32_t>(v), 4); }
  raw_image& f64(std::size_t at, double v) { return put(at, std::bit_cast<std::uint64_t>(v), 8); }
  raw_image& text(std::size_t at, const std::string& t) {
    grow(at + t.size());
    bytes_.replace(at, t.size(), t);
    return *this;
  }
  raw_image& counts(std::size_t at, const std::vector<float>& y) {
    for (std::size_t i = 0; i < y.size(); ++i) f32(at + 4 * i, y[i]);
    return *this;
  }
  raw_image& cut(std::size_t size) {
    bytes_.resize(size);
    return *this;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  raw_image& put(std::size_t at, std::uint64_t v, int n) {
    grow(at + static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
    return *this;
  }
  void grow(std::size_t size) {
    if (bytes_.size() < size) bytes_.resize(size, '\0');
  }
  std::string bytes_;
};

const std::vector<float> counts_a = {120, 135.5f, 410, 980, 402, 131, 118.25f, 117};
const std::vector<float> counts_b = {7, 8, 9, 10, 11};

// Version 1: "RAW ", then per range a 152-byte header (steps, seconds per
// step, step, start at 20, K-alpha1 at 68, "another range follows" at 148)
// and the counts.
raw_image version1() {
  raw_image f("RAW ");
  f.u32(4, static_cast<std::uint32_t>(counts_a.size())).f32(8, 2.5f).f32(12, 0.02f).f32(24, 20.0f);
  f.f32(4 + 68, 1.78897f).u32(4 + 148, 0).counts(4 + 152, counts_a);
  return f;
}

// Version 2: a 256-byte file header (range count at 4, K-alpha1 at 190),
// then per range a header of the length it gives (steps at 2, seconds per
// step at 8, step at 12, start at 16) and the counts.
raw_image version2(std::uint32_t header = 64) {
  raw_image f("RAW2");
  f.u16(4, 1).f32(190, 1.54056f).cut(256);
  f.u16(256, header).u16(258, static_cast<std::uint32_t>(counts_a.size()));
  f.f32(264, 1.0f).f32(268, 0.02f).f32(272, 20.0f);
  f.counts(256 + header, counts_a);
  return f;
}

// Version 3: a 712-byte file header (range count at 12, K-alpha1 a double at
// 624), then per range a 304-byte header (steps at 4, start 2-theta at 16,
// step at 176, seconds per step at 192, supplementary length at 256), the
// supplementary header and the counts.
raw_image version3() {
  raw_image f("RAW1.01");
  f.u32(12, 2).f64(624, 1.5405929).cut(712);
  std::size_t at = 712;
  f.u32(at, 304).u32(at + 4, static_cast<std::uint32_t>(counts_a.size())).f64(at + 16, 20.0).f64(at + 176, 0.02);
  f.f32(at + 192, 0.5f).counts(at + 304, counts_a);
  at += 304 + 4 * counts_a.size();
  f.u32(at, 304).u32(at + 4, static_cast<std::uint32_t>(counts_b.size())).f64(at + 16, 30.0).f64(at + 176, 0.05);
  f.f32(at + 192, 4.0f).u32(at + 256, 40).text(at + 304, std::string(40, 'S')).counts(at + 344, counts_b);
  return f;
}

std::string first_message(const strings& shown) { return shown.empty() ? "" : shown[0]; }

TEST_F(DataFiles, ARawFileOfEachBrukerVersionLoadsWithItsAnglesCountsTimeAndWavelength) {
  const struct {
    const char* name;
    std::string path;
    int n;
    double x1, xd, lambda, time;
    float first, last;
  } rows[] = {
      // From the file's bytes: the range at 447, its start a double at 519
      // and step at 527, the source's K-alpha1 at 391; the first count the
      // float 75 e2 8d 43 at byte 1311, the last 7a 8e d3 c2 eight bytes
      // before the end (the publisher scrambled the counts: some are
      // negative).
      {"version 4, measured", std::string(XRDF_TEST_DATA "/bruker_raw4_scrambled.raw"), 7134, 10.0, 0.0105203, 1.5406,
       310.003, std::bit_cast<float>(0x438de275u), std::bit_cast<float>(0xc2d38e7au)},
      {"version 1", write_file("v1.raw", version1().bytes()), 8, 20.0, 0.02, 1.78897, 2.5, 120, 117},
      {"version 2", write_file("v2.raw", version2().bytes()), 8, 20.0, 0.02, 1.54056, 1.0, 120, 117},
      {"version 3", write_file("v3.raw", version3().bytes()), 8, 20.0, 0.02, 1.5405929, 0.5, 120, 117}};
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(c.path);
    ASSERT_NE(x->execute(), nullptr) << c.name << ": " << first_message(shown_texts());
    const xy_data_3& p = profile(x);
    EXPECT_EQ(std::tuple(p.n, p.x1), std::tuple(c.n, c.x1)) << c.name;
    EXPECT_NEAR(p.xd, c.xd, 1e-7) << c.name;
    EXPECT_EQ(std::tuple(p.y[0], p.y[c.n - 1]), std::tuple(c.first, c.last)) << c.name;
    EXPECT_NEAR(member(x, "lBambda"), c.lambda, 1e-6) << c.name;
    EXPECT_NEAR(member(x, "tBime"), c.time, 1e-6) << c.name;
    EXPECT_EQ(shown_texts(), strings{}) << c.name;
  }
}

TEST_F(DataFiles, EachRangeOfARawFileIsAScanOfItsOwn) {
  const std::string path = write_file("two.raw", version3().bytes());
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << first_message(shown_texts());
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).y[2]), std::tuple(8, 20.0, 410.0f));
  EXPECT_EQ(x->data()->comment.c_str(), std::string("Bruker RAW version 3 scan; scan 1 of 2; 1 other in the file"));
  {
    xdd_data_3::scan_choice second(2);
    ASSERT_NE(x->execute(), nullptr) << first_message(shown_texts());
    const xy_data_3& p = profile(x);
    EXPECT_EQ(std::tuple(p.n, p.x1, p.y[0], p.y[4]), std::tuple(5, 30.0, 7.0f, 11.0f))
        << "the counts start after the range's supplementary header";
    EXPECT_NEAR(p.xd, 0.05, 1e-12);
    EXPECT_DOUBLE_EQ(member(x, "tBime"), 4.0);
  }
  forget_messages();
  xdd_data_3::scan_choice third(3);
  EXPECT_EQ(x->execute(), nullptr);
  EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + "\nThe file holds 2 scans; there is no scan 3"});
}

TEST_F(DataFiles, ARawFileWithoutAWavelengthTakesTheDefaultAndSaysSo) {
  raw_image f = version1();
  f.f32(4 + 68, 0.0f);
  xdd_10* x = new_file(write_file("no_lambda.raw", f.bytes()));
  ASSERT_NE(x->execute(), nullptr) << first_message(shown_texts());
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.5406);
  EXPECT_NE(std::string(x->data()->comment.c_str()).find("wavelength not in the file"), std::string::npos);
}

TEST_F(DataFiles, ARawFileThatCannotBeReadIsRefusedNamingTheFileAndTheCause) {
  const std::string real = read_file(XRDF_TEST_DATA "/bruker_raw4_scrambled.raw");
  raw_image more_than_held = version2();
  more_than_held.u16(258, 9);
  raw_image beyond_any_file = version3();
  beyond_any_file.u32(712 + 4, 0xffffffffu);
  const struct {
    const char* name;
    std::string bytes, reason;  // after "Error loading file PATH\n"
  } rows[] = {
      {"another vendor's text file", "2theta counts\n10 1\n10.02 2\n",
       "Not a Bruker RAW file: it does not start with \"RAW \", \"RAW2\", \"RAW1.01\" or \"RAW4.00\" (other programs "
       "write .raw files in layouts of their own)"},
      {"an empty file", "",
       "Not a Bruker RAW file: it does not start with \"RAW \", \"RAW2\", \"RAW1.01\" or \"RAW4.00\" (other programs "
       "write .raw files in layouts of their own)"},
      {"a version 3 header cut short", version3().cut(600).bytes(),
       "The Bruker RAW file ends inside its file header (600 bytes)"},
      {"a version 4 range header cut short", real.substr(0, 500),
       "The Bruker RAW file ends inside its Range 1 header (500 bytes)"},
      {"a version 1 range cut after its counts", version1().u32(4 + 148, 1).bytes(),
       "The Bruker RAW file ends inside its Range 2 header (188 bytes)"},
      {"a range claiming more points than the file holds", more_than_held.bytes(),
       "Range 1 claims 9 points (36 bytes from byte 320), more than the file's 352 bytes hold"},
      {"a range claiming four billion points", beyond_any_file.bytes(),
       "Range 1 claims 4294967295 points (17179869180 bytes from byte 1016), more than the file's 1412 bytes hold"},
      {"the measured file cut inside its counts", real.substr(0, 30000),
       "Range 1 claims 7134 points (57072 bytes from byte 1311), more than the file's 30000 bytes hold"},
      {"a range header shorter than its fields", version2(20).bytes(), "Range 1: a header of 20 bytes is too short"},
      {"a step of zero", version1().f32(12, 0.0f).bytes(), "Range 1: the step 0 is not a positive angle"}};
  for (const auto& c : rows) {
    forget_messages();
    const std::string path = write_file("bad.raw", c.bytes);
    xdd_10* x = new_file(path);
    EXPECT_EQ(x->execute(), nullptr) << c.name;
    EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + "\n" + c.reason}) << c.name;
    EXPECT_EQ(profile(x).n, 0) << c.name;
  }
}

}  // namespace
