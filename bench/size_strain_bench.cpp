// The whole size-strain job of the batch tool, as a user runs it:
//
//   BM_SizeStrainJob   `size-strain --auto-limit` on two orders, 110 and 220
//                      of α-iron, each a 500-point sample with its 500-point
//                      reference (Poisson counts), from reading the four files
//                      to the printed text, uncertainties and bounds included
//                      (50 realisations of the counting noise)
#include <benchmark/benchmark.h>

#include <algorithm>
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
constexpr double lambda = 1.5406;
constexpr double d110 = 2.0268;
constexpr int points = 500;
constexpr double step = 0.01;

// A pseudo-Voigt of half width w with a Lorentzian share eta.
double pseudo_voigt(double u, double w, double eta) {
  const double lorentz = w / pi / (w * w + u * u);
  const double s = w / std::sqrt(2.0 * std::log(2.0));
  return eta * lorentz + (1.0 - eta) * std::exp(-0.5 * u * u / (s * s)) / (s * std::sqrt(2.0 * pi));
}

// One scan of the line at d, its half width w, as an XDD file.
std::string write_scan(const std::filesystem::path& dir, const std::string& name, double d, double w,
                       std::mt19937_64& rng) {
  const double centre = 2.0 * std::asin(lambda / (2.0 * d)) * 180.0 / pi;
  const double x1 = centre - step * (points - 1) / 2.0;
  std::ostringstream f;
  f << "Synthetic line\n" << x1 << ' ' << step << ' ' << x1 + (points - 1) * step << "\n1 1 " << lambda << "\n";
  const double top = pseudo_voigt(0.0, w, 0.5);
  for (int i = 0; i < points; ++i) {
    const double expected = 200.0 + 2e4 * pseudo_voigt(x1 + i * step - centre, w, 0.5) / top;
    f << std::poisson_distribution<long>(expected)(rng) << "\n";
  }
  const std::filesystem::path path = dir / name;
  std::ofstream(path, std::ios::binary) << f.str();
  return path.string();
}

void BM_SizeStrainJob(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "xrdf_size_strain_bench";
  std::filesystem::create_directories(dir);
  std::mt19937_64 rng(3);
  const std::vector<std::string> args = {
      "xrdfourier-cli",
      "--template",
      XRDF_SOURCE_DIR "/resources/xrdfourier.tpl",
      "size-strain",
      "--auto-limit",
      "--pair",
      write_scan(dir, "fe110.xdd", d110, 0.12, rng),
      write_scan(dir, "fe110_ref.xdd", d110, 0.05, rng),
      "--pair",
      write_scan(dir, "fe220.xdd", d110 / 2.0, 0.25, rng),
      write_scan(dir, "fe220_ref.xdd", d110 / 2.0, 0.06, rng)};
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
  if (printed.find("\u00b1") == std::string::npos && !printed.empty())
    state.SkipWithError("the summary holds no uncertainty");
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_SizeStrainJob)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
