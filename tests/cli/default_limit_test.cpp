// size-strain and measure --table read A(L) only up to where it stands above
// its noise unless a limit is set, and a limit set where it does not gets a
// warning wherever the result is shown.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>
#include <string>

#include "batch_runner.h"

namespace {

struct DefaultLimit : BatchFolder {
  // A Lorentzian line of 0.05° half width (the reference) or 0.1° (the
  // sample) on 501 points of 0.01°, as Poisson counts, in the XDD layout.
  std::string noisy_line(const std::string& name, double hwhm, unsigned seed) const {
    std::mt19937_64 rng(seed);
    std::string text = "A noisy line\n42.17 0.01 47.17\n1.0000 1 1.5406\n";
    for (int i = 0; i < 501; ++i) {
      const double u = 42.17 + 0.01 * i - 44.67;
      const double mu = 100.0 + 3000.0 * hwhm * hwhm / (hwhm * hwhm + u * u);
      text += std::to_string(std::poisson_distribution<long>(mu)(rng)) + "\n";
    }
    return write(name, text);
  }
};

double snr_of(const std::string& out) {
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("signal-to-noise there (-?[0-9.]+)"))) return -1e9;
  return std::stod(m[1]);
}

const char* const low_snr = "Warning: At the frequency limit A(L) is only";

TEST_F(DefaultLimit, SizeStrainWithoutOptionsReadsUpToTheAutomaticLimitAndSaysSo) {
  const std::string sample = noisy_line("sample.xdd", 0.1, 1), reference = noisy_line("ref.xdd", 0.05, 2);
  const run_result plain = run({"size-strain", "--pair", sample, reference});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(plain.out.find(", automatic frequency limit "), std::string::npos) << plain.out;
  EXPECT_GE(snr_of(plain.out), 3.0) << plain.out;
  EXPECT_EQ(plain.out.find(low_snr), std::string::npos) << plain.out;
  const run_result asked = run({"size-strain", "--pair", sample, reference, "--auto-limit"});
  EXPECT_EQ(asked.out, plain.out) << "--auto-limit is what the command does anyway";
}

TEST_F(DefaultLimit, ALimitSetWhereANoLongerStandsAboveItsNoiseIsWarnedOf) {
  const std::string sample = noisy_line("sample.xdd", 0.1, 3), reference = noisy_line("ref.xdd", 0.05, 4);
  const run_result high = run({"size-strain", "--pair", sample, reference, "--set", "fBft_f2_lim=200"});
  ASSERT_EQ(high.status, 0) << high.err;
  EXPECT_NE(high.out.find(", frequency limit "), std::string::npos) << "the limit set is used: " << high.out;
  EXPECT_LT(snr_of(high.out), 3.0) << high.out;
  EXPECT_NE(high.out.find(low_snr), std::string::npos) << high.out;

  const run_result table = run({"measure", "--table", sample, "--ref", reference, "--set", "fBft_f2_lim=200"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find(low_snr), std::string::npos) << "in the row's warning: " << table.out;
  const run_result automatic = run({"measure", "--table", sample, "--ref", reference});
  ASSERT_EQ(automatic.status, 0) << automatic.err;
  EXPECT_EQ(automatic.out.find(low_snr), std::string::npos) << automatic.out;
}

}  // namespace
