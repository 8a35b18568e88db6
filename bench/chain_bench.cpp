// One full recomputation of the Fourier chain of a measured profile, the way
// dragging a marker asks for it on every mouse move:
//
//   BM_ChainRecompute/N   transform (doubling 2), shift, inverse, quotient
//                         by a reference of the same length, deconvoluted
//                         profile, for an N-point profile
//
// The reference's own transform is made once, outside the timing: dragging
// a marker of one file leaves the other's transform alone.
//
//   BM_FftwRealForward/131072   FFTW's forward transform of the length the
//                               chain transforms, as the yardstick of the
//                               same run (where FFTW is installed)
#include <benchmark/benchmark.h>

#if defined(XRDF_HAVE_FFTW)
#include <fftw3.h>
#endif

#include <cmath>
#include <memory>
#include <string>

#include "core/assoc_class.h"
#include "core/paths.h"
#include "io/string_in.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/tem_node_3.h"
#include "template/template_side.h"
#include "xrd/xrd_classes.h"
#include "xrd/chain/xy_yobs_4.h"

namespace {

const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      dAata_files ;\n"
    "         xdd ;\n"
    "            AxDdd_path_name _char* ;\n"
    "            xy_yobs ;\n"
    "            AfBft_recal _int _default 1 ;\n"
    "            AfBft_shift _int _default 1 ;\n"
    "            AfBft_do_inv _int _default 1 ;\n"
    "            AfBft_do_deconv _int _default 1 ;\n"
    "            AfBft_do_br _int _default 1 ;\n"
    "            AfBreq_doubler _int _default 2 ;\n"
    "            AfBft_f2_lim _double _default -999 ;\n"
    "            Afft_zero _double _default -999 ;\n"
    "            AaBo_bkg _double _default 0 ;\n"
    "            AaB1_bkg _double _default 0 ;\n"
    "            AlBamda _double _default 1.5406 ;\n"
    "            Aref_prof _char* ;\n"
    "            Cxdds_tied_to _creator ptr_classes_4 ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "}\n"
    "end_templates\n";

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

// A scan of n points from 20 to 120 degrees: a line on a sloping background.
assoc_class* add_scan(assoc_class& files, const char* path, int n, double sigma) {
  assoc_class* file = files.create_child_by_name("xdd");
  find(*file, "xDdd_path_name")->set_text(path);
  auto* p = dynamic_cast<xy_yobs_4*>(find(*file, "xy_yobs"));
  const double x1 = 20.0;
  const double xd = 100.0 / (n - 1);
  p->y.allocate(n);
  p->y.rebase(0);
  for (int i = 0; i < n; ++i) {
    const double x = x1 + i * xd;
    const double u = (x - 70.0) / sigma;
    p->y[i] = static_cast<float>(50.0 + 0.1 * x + 1000.0 * std::exp(-0.5 * u * u));
  }
  p->set_first_step_count(x1, xd, n);
  p->profile_changed();
  return file;
}

void BM_ChainRecompute(benchmark::State& state) {
  install_template_side();
  string_in t(templates);
  t.set_comment_mode(true);
  replace_templates(t);
  string_in o("start_out_side_recs {\n}\n");
  replace_outside_records(o);
  register_xrd_classes();

  top_3 root;
  auto a = std::make_unique<app_node>();
  a->set_tem(template_tree().top_level("#app")->find_child("app"));
  assoc_class* app = root.add_child(std::move(a));
  assoc_class* files = find(*app, "dAata_files");
  const int n = static_cast<int>(state.range(0));
  assoc_class* observed = add_scan(*files, "/scans/observed.xdd", n, 0.3);
  add_scan(*files, "/scans/reference.xdd", n, 0.1);
  find(*observed, "ref_prof")->set_text("/scans/reference.xdd");
  auto* chain = dynamic_cast<xy_yobs_4*>(find(*observed, "xy_yobs"));
  assoc_class* recal = find(*observed, "fBft_recal");
  chain->run_deconvolution();
  chain->run_inverse();

  for (auto _ : state) {
    recal->set_int(1);
    chain->run_deconvolution();
    chain->run_inverse();
    benchmark::DoNotOptimize(chain->fft.profile.data());
    benchmark::DoNotOptimize(chain->fft.inv.data());
  }
  if (chain->runs.transform != static_cast<int>(state.iterations()) + 1)
    state.SkipWithError("the chain did not recompute");
  state.counters["points"] = n;
  state.counters["transform_length"] = 2.0 * chain->fft.frequency_count();
}

BENCHMARK(BM_ChainRecompute)->Arg(30000)->Unit(benchmark::kMillisecond);

#if defined(XRDF_HAVE_FFTW)
void BM_FftwRealForward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  float* in = fftwf_alloc_real(static_cast<std::size_t>(n));
  fftwf_complex* out = fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);  // planning may overwrite in
  for (int i = 0; i < n; ++i) in[i] = static_cast<float>(std::sin(0.001 * i) + 0.5 * std::cos(0.37 * i));
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}
BENCHMARK(BM_FftwRealForward)->Arg(131072)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
