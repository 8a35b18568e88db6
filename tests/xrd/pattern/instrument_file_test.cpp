// The instrument file: written, read back, and refused with the file, the
// line and the cause when it cannot be trusted.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "xrd/pattern/instrument_file.h"
#include "xrd/pattern/instrument_function.h"

namespace {

std::string read_text(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

void write_text(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A function as a fit would leave it, with awkward values: negative, tiny,
// and some that no short decimal holds.
instrument_function sample_function() {
  instrument_function f;
  f.fitted = true;
  f.standard = "LaB6 SRM 660c";
  f.source = {1.5406, 1.54439, 0.5};
  f.U = 0.0041234567890123;
  f.u_U = 2.5e-5;
  f.V = -0.0021 / 3.0;
  f.u_V = 3.4e-5;
  f.W = 0.00300575;
  f.u_W = 8.7e-6;
  f.uvw_covariance = {f.u_U * f.u_U, -8e-10, 1e-10, -8e-10, f.u_V * f.u_V, -2e-10, 1e-10, -2e-10, f.u_W * f.u_W};
  f.eta0 = 0.2996;
  f.u_eta0 = 0.0012;
  f.eta1 = 0.00301 / 7.0;
  f.u_eta1 = 2.2e-5;
  f.eta_covariance = -2.4e-8;
  f.fwhm_chi_square = 0.68;
  f.eta_chi_square = 1.3;
  f.lines = {{"100", 21.3585, 0.0526, 0.0002, 0.36, 0.01, 0.00011, 0.0},
             {"110", 30.3853, 0.0561, 0.0002, 0.39, 0.01, -0.00007, 0.0},
             {"111", 37.4422, 0.0588, 0.0002, 0.41, 0.01, 0.0000123, 0.0}};
  return f;
}

struct InstrumentFile : ::testing::Test {
  InstrumentFile() {
    char pattern[] = "/tmp/xrd_instrument_XXXXXX";
    dir = ::mkdtemp(pattern);
    path = dir + "/cu.instrument.txt";
  }
  ~InstrumentFile() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string dir, path;
};

TEST_F(InstrumentFile, AnInstrumentWrittenAndReadBackHasTheSameValues) {
  const instrument_function f = sample_function();
  std::string why;
  ASSERT_TRUE(write_instrument_file(path, f, why)) << why;
  const std::string text = read_text(path);
  // A person reads it: one named value a line, with its units.
  for (const char* shown : {"U = 0.0041234567890123 # deg^2, Caglioti", "U_u = 2.5e-05 # deg^2", "lambda1 = 1.5406 # A",
                            "lambda2 = 1.54439 # A", "ratio = 0.5 #", "standard = LaB6 SRM 660c\n",
                            "line = 100 21.3585 0.0526 0.00011 #"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
  EXPECT_EQ(text.find("nan"), std::string::npos);

  instrument_function back;
  ASSERT_TRUE(read_instrument_file(path, 1.5406, back, why)) << why;
  EXPECT_TRUE(back.fitted);
  EXPECT_EQ(back.standard, f.standard);
  EXPECT_EQ(back.source.lambda1_A, f.source.lambda1_A);
  EXPECT_EQ(back.source.lambda2_A, f.source.lambda2_A);
  EXPECT_EQ(back.source.ratio, f.source.ratio);
  EXPECT_EQ(back.U, f.U);
  EXPECT_EQ(back.V, f.V);
  EXPECT_EQ(back.W, f.W);
  EXPECT_EQ(back.u_U, f.u_U);
  EXPECT_EQ(back.u_V, f.u_V);
  EXPECT_EQ(back.u_W, f.u_W);
  EXPECT_EQ(back.eta0, f.eta0);
  EXPECT_EQ(back.eta1, f.eta1);
  EXPECT_EQ(back.u_eta0, f.u_eta0);
  EXPECT_EQ(back.u_eta1, f.u_eta1);
  EXPECT_EQ(back.eta_covariance, f.eta_covariance);
  for (std::size_t i = 0; i < 9; ++i) EXPECT_NEAR(back.uvw_covariance[i], f.uvw_covariance[i], 1e-24) << i;
  ASSERT_EQ(back.lines.size(), f.lines.size());
  for (std::size_t i = 0; i < f.lines.size(); ++i) {
    EXPECT_EQ(back.lines[i].label, f.lines[i].label);
    EXPECT_EQ(back.lines[i].two_theta, f.lines[i].two_theta);
    EXPECT_EQ(back.lines[i].fwhm, f.lines[i].fwhm);
    EXPECT_EQ(back.lines[i].fwhm_residual, f.lines[i].fwhm_residual);
  }
  EXPECT_EQ(back.fwhm_at(80.0), f.fwhm_at(80.0)) << "the width at any angle is the one written";
  EXPECT_TRUE(read_instrument_file(path, 0.0, back, why)) << "no sample wavelength to compare: " << why;
}

TEST_F(InstrumentFile, ADamagedOrForeignInstrumentFileIsRefusedNamingTheFileTheLineAndTheCause) {
  std::string why;
  ASSERT_TRUE(write_instrument_file(path, sample_function(), why)) << why;
  const std::string good = read_text(path);
  auto replaced = [&good](const std::string& from, const std::string& to) {
    std::string t = good;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return t.replace(at, from.size(), to);
  };
  // The line of a value in the good file, counted from 1.
  auto line_of = [&good](const std::string& start) {
    const std::size_t at = good.find("\n" + start);
    return std::to_string(1 + std::count(good.begin(), good.begin() + static_cast<long>(at) + 1, '\n'));
  };
  const struct {
    const char* what;
    std::string text;
    double sample_lambda;
    std::string said;
  } rows[] = {
      {"an empty file", "", 1.5406, path + ": not an instrument file"},
      {"a data file given for an instrument", "10.0 120\n10.02 130\n", 1.5406, path + ": not an instrument file"},
      {"a line that is no name and value", replaced("V = ", "V  "), 1.5406,
       path + ": line " + line_of("V = ") + ": damaged: "},
      {"a value given twice", replaced("W = ", "U = 1\nW = "), 1.5406, path + ": line " + line_of("W = ") +
                                                                          ": damaged: U is given twice"},
      {"a value missing", replaced("W_u = ", "# W_u = "), 1.5406, path + ": the value W_u is missing"},
      {"a value that is not a number", replaced("eta0 = ", "eta0 = about 0.3 # "), 1.5406,
       path + ": line " + line_of("eta0 = ") + ": eta0 is not a number: \"about 0.3\""},
      {"a value written as nan", replaced("U = ", "U = nan # "), 1.5406,
       path + ": line " + line_of("U = ") + ": U is not a number: \"nan\""},
      {"a line used without its width", replaced("line = 110 30.3853 0.0561", "line = 110 30.3853"), 1.5406,
       path + ": line " + line_of("line = 110") + ": damaged: a line used is a name and three numbers"},
      {"a file cut short", good.substr(0, good.find("eta1 = ")), 1.5406, path + ": the value eta1 is missing"},
      {"a cobalt sample with a copper instrument", good, 1.78897,
       path + ": line " + line_of("lambda1 = ") + ": made for a wavelength of 1.5406 A, and the sample's is 1.78897 A"},
  };
  for (const auto& row : rows) {
    write_text(path, row.text);
    instrument_function f = sample_function();
    f.U = 42.0;
    why.clear();
    EXPECT_FALSE(read_instrument_file(path, row.sample_lambda, f, why)) << row.what;
    EXPECT_EQ(why.substr(0, row.said.size()), row.said) << row.what;
    EXPECT_EQ(f.U, 42.0) << row.what << ": what the caller held stays";
  }
  EXPECT_FALSE(read_instrument_file(dir + "/none.txt", 0.0, *std::make_unique<instrument_function>(), why));
  EXPECT_EQ(why, dir + "/none.txt: Cannot open file");
}

// Writes beyond `bytes` fail (EFBIG) for as long as it lives.
struct file_size_limit {
  explicit file_size_limit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    signal_set = ::sigaction(SIGXFSZ, &ignore, &previous_signal) == 0;
    limit_set = ::getrlimit(RLIMIT_FSIZE, &previous) == 0;
    if (limit_set) {
      rlimit lowered = previous;
      lowered.rlim_cur = bytes;
      limit_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
  }
  ~file_size_limit() {
    if (limit_set) ::setrlimit(RLIMIT_FSIZE, &previous);
    if (signal_set) ::sigaction(SIGXFSZ, &previous_signal, nullptr);
  }
  file_size_limit(const file_size_limit&) = delete;
  file_size_limit& operator=(const file_size_limit&) = delete;
  rlimit previous{};
  struct sigaction previous_signal {};
  bool limit_set = false, signal_set = false;
};

TEST_F(InstrumentFile, AFailedWriteSaysWhyAndLeavesTheOldFile) {
  std::string why;
  ASSERT_TRUE(write_instrument_file(path, sample_function(), why)) << why;
  const std::string old = read_text(path);
  instrument_function changed = sample_function();
  changed.U = 0.005;
  {
    const file_size_limit limit(64);
    ASSERT_TRUE(limit.limit_set && limit.signal_set);
    EXPECT_FALSE(write_instrument_file(path, changed, why)) << "a disk full after 64 bytes";
  }
  EXPECT_EQ(why, path + ": Cannot write file: File too large");
  EXPECT_EQ(read_text(path), old);

  changed.W = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(write_instrument_file(path, changed, why));
  EXPECT_EQ(why, path + ": Cannot write file: the instrument function holds a value that is not a number");
  EXPECT_EQ(read_text(path), old);

  EXPECT_FALSE(write_instrument_file(dir + "/no/such/cu.txt", sample_function(), why));
  EXPECT_EQ(why, dir + "/no/such/cu.txt: Cannot write file: the folder " + dir + "/no/such does not exist");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
      << "no temporary file is left behind";
}

}  // namespace
