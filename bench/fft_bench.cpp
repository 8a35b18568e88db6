// Speed of the forward real transform against FFTW's
// single-precision real-to-complex transform, same lengths, same run.
//
//   BM_RealForward/N          our transform (widest path on this processor)
//   BM_RealForwardAvx2/N      our transform, AVX2 at most
//   BM_RealForwardPortable/N  our transform, portable code only
//   BM_FftwRealForward/N      fftwf r2c, planned with FFTW_MEASURE
//   BM_FftwScalarRealForward/N  the same planned with FFTW_NO_SIMD: FFTW
//                             without its vector code, as a measure of how
//                             much of its lead the vector instructions make
//
// Both transforms run out of place, as the program runs ours: the samples are
// read where they are and the spectrum written to separate arrays (FFTW's
// r2c keeps its input too).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "numerics/fft_kernel.h"

#if defined(XRDF_HAVE_FFTW)
#include <fftw3.h>
#endif

namespace {

std::vector<float> random_samples(int n) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<float> v(static_cast<std::size_t>(n));
  for (float& x : v) x = u(rng);
  return v;
}

void run_ours(benchmark::State& state, fft_kernel::path path) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<float> input = random_samples(n);
  std::vector<float> re(static_cast<std::size_t>(n / 2)), im(re.size());
  fft_kernel::set_path(path);
  fft_kernel::real_forward(input.data(), n, n, re.data(), im.data());  // tables and scratch made outside the timing
  for (auto _ : state) {
    fft_kernel::real_forward(input.data(), n, n, re.data(), im.data());
    benchmark::DoNotOptimize(re.data());
    benchmark::DoNotOptimize(im.data());
    benchmark::ClobberMemory();
  }
  const fft_kernel::path used = fft_kernel::active_path();
  fft_kernel::set_path(fft_kernel::path::automatic);
  state.SetItemsProcessed(state.iterations() * n);
  state.SetLabel(fft_kernel::path_name(used));
}

void BM_RealForward(benchmark::State& state) { run_ours(state, fft_kernel::path::automatic); }
void BM_RealForwardAvx2(benchmark::State& state) { run_ours(state, fft_kernel::path::avx2); }
void BM_RealForwardPortable(benchmark::State& state) { run_ours(state, fft_kernel::path::portable); }

#if defined(XRDF_HAVE_FFTW)
void run_fftw(benchmark::State& state, unsigned flags) {
  const int n = static_cast<int>(state.range(0));
  float* in = fftwf_alloc_real(static_cast<std::size_t>(n));
  fftwf_complex* out = fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, flags);  // planning may overwrite in
  const std::vector<float> input = random_samples(n);
  std::memcpy(in, input.data(), input.size() * sizeof(float));
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}

void BM_FftwRealForward(benchmark::State& state) { run_fftw(state, FFTW_MEASURE); }
void BM_FftwScalarRealForward(benchmark::State& state) { run_fftw(state, FFTW_MEASURE | FFTW_NO_SIMD); }
#endif

void lengths(benchmark::internal::Benchmark* b) {
  for (int n : {4096, 32768, 131072, 262144}) b->Arg(n);
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_RealForward)->Apply(lengths);
#if defined(XRDF_HAVE_FFTW)
BENCHMARK(BM_FftwRealForward)->Apply(lengths);
BENCHMARK(BM_FftwScalarRealForward)->Apply(lengths);
#endif
BENCHMARK(BM_RealForwardAvx2)->Apply(lengths);
BENCHMARK(BM_RealForwardPortable)->Apply(lengths);

BENCHMARK_MAIN();
