// What one scan of a series costs in `measure --table --ref`, its
// uncertainties included, as a user runs it:
//
//   BM_MeasureRowWithReference/P     the batch tool on one scan of P points
//                                    and its reference, from reading the
//                                    template and both files to the row
//   BM_MeasureTableWithReference/P   the batch tool on 10 such scans and one
//                                    reference; items/s is rows per second
//                                    once the tool has started
//
// Each scan is a pseudo-Voigt line broadened by small crystallites on a
// sloping background with Poisson counts, as bench/make_series.py writes
// them; the reference is the narrower line of a standard.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "template/template_file.h"

namespace {

double pseudo_voigt(double x, double centre, double fwhm, double eta) {
  const double u = (x - centre) / (fwhm / 2.0);
  return eta / (1.0 + u * u) + (1.0 - eta) * std::exp(-std::log(2.0) * u * u);
}

// A scan of `points` from 40 to 50 degrees, as two columns.
std::string write_scan(const std::filesystem::path& path, int points, double fwhm, double height,
                       std::mt19937_64& rng) {
  std::string text = "# 2theta counts\n";
  char line[64];
  for (int i = 0; i < points; ++i) {
    const double x = 40.0 + 10.0 * i / (points - 1);
    const double expected = 150.0 + 4.0 * (x - 40.0) + height * pseudo_voigt(x, 45.0, fwhm, 0.5);
    std::snprintf(line, sizeof line, "%.4f %ld\n", x, std::poisson_distribution<long>(expected)(rng));
    text += line;
  }
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

class series_folder {
 public:
  series_folder(int points, int scans) : dir_(std::filesystem::temp_directory_path() / "xrdf_series_bench") {
    std::filesystem::create_directories(dir_);
    std::mt19937_64 rng(24);
    reference_ = write_scan(dir_ / "reference.xy", points, 0.07, 20000.0, rng);
    for (int i = 0; i < scans; ++i)
      scans_.push_back(write_scan(dir_ / ("scan_" + std::to_string(i + 1) + ".xy"), points,
                                  0.35 - 0.1 * i / std::max(scans - 1, 1), 8000.0, rng));
  }
  ~series_folder() { std::filesystem::remove_all(dir_); }
  series_folder(const series_folder&) = delete;
  series_folder& operator=(const series_folder&) = delete;

  // The arguments of `measure --table --ref REFERENCE SCAN...`.
  std::vector<std::string> arguments() const {
    std::vector<std::string> a = {"xrdfourier-cli", "--template", XRDF_SOURCE_DIR "/resources/xrdfourier.tpl",
                                  "measure",        "--table",    "--ref",
                                  reference_};
    a.insert(a.end(), scans_.begin(), scans_.end());
    return a;
  }

 private:
  std::filesystem::path dir_;
  std::string reference_;
  std::vector<std::string> scans_;
};

void run_measure_table(benchmark::State& state, int scans) {
  const series_folder folder(static_cast<int>(state.range(0)), scans);
  const std::vector<std::string> args = folder.arguments();
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  for (auto _ : state) {
    std::ostringstream out, err;
    // Status 1 only says a length is not resolved or a volume-weighted one
    // is cut; the rows are made.
    run_batch_tool(static_cast<int>(argv.size()), argv.data(), out, err);
    set_template_path("");
    if (out.str().empty()) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    benchmark::DoNotOptimize(out.str().data());
  }
  state.SetItemsProcessed(state.iterations() * scans);
}

void BM_MeasureRowWithReference(benchmark::State& state) { run_measure_table(state, 1); }
void BM_MeasureTableWithReference(benchmark::State& state) { run_measure_table(state, 10); }

BENCHMARK(BM_MeasureRowWithReference)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureTableWithReference)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
