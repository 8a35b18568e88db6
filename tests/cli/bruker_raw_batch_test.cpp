#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "batch_runner.h"

namespace {

const std::string measured_raw = XRDF_TEST_DATA "/bruker_raw4_scrambled.raw";

std::string bytes_of(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

TEST_F(BatchFolder, AMeasuredRawScanIsDescribedAndConvertedToXdd) {
  const run_result info = run({"info", measured_raw});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("(10.000, 0.0105, 85.041)  Npts= 7134"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Lambda= 1.5406"), std::string::npos) << info.out;

  const std::string xdd = path("scan.xdd");
  const run_result converted = run({"convert", measured_raw, xdd});
  ASSERT_EQ(converted.status, 0) << converted.err;
  // The XDD layout: a comment; start, step and end; count time, an unused
  // field and the wavelength; then the counts.
  std::istringstream in(bytes_of(xdd));
  std::string comment;
  std::getline(in, comment);
  EXPECT_EQ(comment, "Bruker RAW version 4 scan (Locked Coupled)");
  double start = 0, step = 0, end = 0, time = 0, unused = 0, lambda = 0, first = 0;
  in >> start >> step >> end >> time >> unused >> lambda >> first;
  EXPECT_EQ(start, 10.0);
  EXPECT_NEAR(step, 0.0105203, 1e-7);
  EXPECT_NEAR(end, 10.0 + 7133 * step, 1e-6);
  EXPECT_EQ(std::tuple(time, lambda), std::tuple(310.003, 1.5406));
  EXPECT_NEAR(first, 283.7692, 1e-4);
}

TEST_F(BatchFolder, ARawFileThatIsRefusedExitsOneSaysWhyAndWritesNothing) {
  const struct {
    const char* name;
    std::string bytes, said;
  } rows[] = {
      {"another vendor's .raw", "angle counts\n10 1\n10.02 2\n10.04 3\n10.06 4\n", "Not a Bruker RAW file"},
      {"a range claiming more points than the file holds", bytes_of(measured_raw).substr(0, 20000),
       "Range 1 claims 7134 points (57072 bytes from byte 1311), more than the file's 20000 bytes hold"}};
  for (const auto& c : rows) {
    const std::string raw = write("bad.raw", c.bytes);
    const std::string xdd = path("bad.xdd");
    const run_result r = run({"convert", raw, xdd});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.err.find(raw), std::string::npos) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(xdd)) << c.name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
        << c.name << ": nothing but the input is left in the folder";
  }
}

}  // namespace
