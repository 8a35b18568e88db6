// The batch tool's whole-pattern job, as a user runs it:
//
//   BM_AnalysePatternJob   `analyse-pattern SAMPLE --instrument INSTRUMENT
//                          --lattice bcc:2.8665` on a 5000-point pattern of
//                          five iron lines (K-alpha doublets, Poisson counts),
//                          from reading the files to the printed text: the
//                          peak search, each line's Stokes deconvolution by
//                          its synthesised reference, the uncertainties (50
//                          realisations of the counting noise per line and
//                          the instrument's own), Williamson-Hall and the
//                          110/220 Warren-Averbach
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "template/template_file.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda1 = 1.5406, lambda2 = 1.54439;
constexpr double U = 0.004, V = -0.002, W = 0.006, eta0 = 0.2, eta1 = 0.003;

// A pseudo-Voigt of unit area and full width `fwhm`.
double pseudo_voigt(double u, double fwhm, double eta) {
  const double g = std::sqrt(4.0 * std::log(2.0) / pi) / fwhm * std::exp(-4.0 * std::log(2.0) * u * u / (fwhm * fwhm));
  const double l = fwhm / (2.0 * pi * (u * u + fwhm * fwhm / 4.0));
  return eta * l + (1.0 - eta) * g;
}

std::string write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// Five bcc lines, each three times as wide as the instrument, on a falling
// background, 30 to 130 deg in 5000 points.
std::string sample_text() {
  const int hkl2[] = {2, 4, 6, 8, 10};
  const double area[] = {6000, 3000, 4500, 3000, 4000};
  std::mt19937_64 rng(5);
  std::ostringstream text;
  text << "# 2theta counts\n";
  for (int i = 0; i < 5000; ++i) {
    const double x = 30.0 + i * 100.0 / 4999.0;
    double y = 2200.0 - 10.0 * (x - 30.0);
    for (int k = 0; k < 5; ++k) {
      const double d = 2.8665 / std::sqrt(hkl2[k]);
      const double t1 = 360.0 / pi * std::asin(lambda1 / (2.0 * d)), t2 = 360.0 / pi * std::asin(lambda2 / (2.0 * d));
      const double tan_theta = std::tan(t1 * pi / 360.0);
      const double fwhm = 3.0 * std::sqrt(U * tan_theta * tan_theta + V * tan_theta + W);
      y += area[k] * (pseudo_voigt(x - t1, fwhm, 0.6) + 0.5 * pseudo_voigt(x - t2, fwhm, 0.6));
    }
    text << x << ' ' << std::poisson_distribution<long>(y)(rng) << '\n';
  }
  return text.str();
}

std::string instrument_text() {
  std::ostringstream text;
  text << "# xrdfourier instrument function\nstandard = bench\nlambda1 = " << lambda1 << "\nlambda2 = " << lambda2
       << "\nratio = 0.5\nU = " << U << "\nU_u = 0.0001\nV = " << V << "\nV_u = 0.0001\nW = " << W
       << "\nW_u = 0.0001\neta0 = " << eta0 << "\neta0_u = 0.01\neta1 = " << eta1
       << "\neta1_u = 0.0001\ncov_eta0_eta1 = 0\nfwhm_chi2 = 1\neta_chi2 = 1\ncov_UV = 0\ncov_UW = 0\ncov_VW = 0\n";
  return text.str();
}

void BM_AnalysePatternJob(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "xrdf_pattern_bench";
  std::filesystem::create_directories(dir);
  const std::vector<std::string> args = {"xrdfourier-cli",
                                         "--template",
                                         XRDF_SOURCE_DIR "/resources/xrdfourier.tpl",
                                         "analyse-pattern",
                                         write(dir / "fe_pattern.xy", sample_text()),
                                         "--instrument",
                                         write(dir / "instrument.txt", instrument_text()),
                                         "--lattice",
                                         "bcc:2.8665",
                                         "--table",
                                         (dir / "lines.csv").string()};
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::string printed;
  for (auto _ : state) {
    std::ostringstream out, err;
    if (run_batch_tool(static_cast<int>(argv.size()), argv.data(), out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    printed = out.str();
    set_template_path("");
  }
  if (!printed.empty() && printed.find("Lines analysed = 5 of 5 found") == std::string::npos)
    state.SkipWithError("not every line was analysed");
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_AnalysePatternJob)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
