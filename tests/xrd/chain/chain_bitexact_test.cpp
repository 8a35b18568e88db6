// The chain's results pinned to the float: every stage (input, transform,
// shifted transform and modulus, inverse, quotient, deconvoluted profile) of a
// measured-like doublet and its reference, through a sequence of edits like
// those of a working session. The figures were taken from the straightforward
// implementation (fresh buffers, a spline set up per quotient, sine and cosine
// per frequency); whatever the chain caches or reuses, and whichever transform
// path runs, it must give these floats, bit for bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "numerics/fft_kernel.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/tails/B_ex_consts_3.h"

namespace {

using namespace chain_test;

// A Cu K-alpha doublet on a sloping background with counting noise, in
// arithmetic only (no library functions), so that the input itself is the
// same floats everywhere.
struct doublet {
  double centre, width, height;
  std::uint64_t seed;
  double operator()(double x) {
    const double u1 = (x - centre) / width;
    const double u2 = (x - centre - 0.12) / width;
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const double noise = static_cast<double>((seed >> 33) % 2001) / 100.0 - 10.0;
    return 120.0 + 0.4 * (x - 20.0) + height / (1.0 + u1 * u1) + 0.5 * height / (1.0 + u2 * u2) + noise;
  }
};

// The vectors of the chain, in the order of the pinned table.
constexpr int stage_count = 11;
const char* const stage_names[stage_count] = {"ft_input",   "re",          "im",          "shifted_re",
                                              "shifted_im", "modulus",     "inv",         "quotient_re",
                                              "quotient_im", "quotient_mod", "profile"};

const float_vec* stage_vector(const xy_yobs_4& p, int s) {
  const fft_5& f = p.fft;
  const float_vec* v[stage_count] = {&p.ft_input,     &f.re,          &f.im,           &f.shifted_re,
                                     &f.shifted_im,   &f.modulus,     &f.inv,          &f.quotient_re,
                                     &f.quotient_im,  &f.quotient_mod, &f.profile};
  return v[s];
}

// FNV-1a over the count and the bit patterns of the floats.
std::uint64_t bits_hash(const float_vec& v) {
  std::uint64_t h = 14695981039346656037ull;
  auto add = [&h](std::uint32_t w) {
    for (int b = 0; b < 4; ++b) {
      h ^= (w >> (8 * b)) & 0xffu;
      h *= 1099511628211ull;
    }
  };
  add(static_cast<std::uint32_t>(v.count()));
  for (int i = 0; i < v.count(); ++i) {
    std::uint32_t w;
    std::memcpy(&w, v.data() + i, sizeof w);
    add(w);
  }
  return h;
}

// A few values read as numbers, so that a failure shows how far it is off.
struct sample_values {
  float shifted_re_1, quotient_re_1, profile_middle;
};

sample_values samples(const xy_yobs_4& p) {
  const fft_5& f = p.fft;
  return {f.shifted_re.count() > 1 ? f.shifted_re[1] : 0.0f, f.quotient_re.count() > 1 ? f.quotient_re[1] : 0.0f,
          f.profile.count() > 0 ? f.profile[f.profile.count() / 2] : 0.0f};
}

struct pinned_step {
  const char* what;
  std::uint64_t hash[stage_count];
  sample_values values;
};

// What the chain gives after each edit of the session below.
const pinned_step pinned[] = {
    {"first computation, doubling 2, wavelength set, limits unset",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc0e012d777faf5b4ull, 0x812dbdcac1dee768ull, 0x821f63e132762e1cull, 0x2637f67bea788bdaull, 0xcfbcded733042dd0ull, 0x4981a36d45b69e90ull, 0x51a3f45309b65fd0ull, 0xab378f397bd7cb30ull},
     {50622.7344f, 0.909803569f, -0.0248426422f}},
    {"recomputed as on every move of a drag",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc0e012d777faf5b4ull, 0x812dbdcac1dee768ull, 0x821f63e132762e1cull, 0x2637f67bea788bdaull, 0xcfbcded733042dd0ull, 0x4981a36d45b69e90ull, 0x51a3f45309b65fd0ull, 0xab378f397bd7cb30ull},
     {50622.7344f, 0.909803569f, -0.0248426422f}},
    {"and once more",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc0e012d777faf5b4ull, 0x812dbdcac1dee768ull, 0x821f63e132762e1cull, 0x2637f67bea788bdaull, 0xcfbcded733042dd0ull, 0x4981a36d45b69e90ull, 0x51a3f45309b65fd0ull, 0xab378f397bd7cb30ull},
     {50622.7344f, 0.909803569f, -0.0248426422f}},
    {"origin moved off the peak",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc3baa396d1783c01ull, 0xb60cd6fa2cbc6eecull, 0x43a8203e6397ddd5ull, 0x2637f67bea788bdaull, 0x2d2d78983f674b26ull, 0x34d33b50ad08eb1bull, 0x9985c85b0e047914ull, 0x26bd17c7f8ec0dbfull},
     {50622.1406f, 0.909792364f, 0.0298370142f}},
    {"frequency limit lowered",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc3baa396d1783c01ull, 0xb60cd6fa2cbc6eecull, 0x43a8203e6397ddd5ull, 0x36e7952c94fa56aaull, 0x87bec7198edc284bull, 0xaf33ab0c9f62d9b1ull, 0xaee2b1971fc399feull, 0xf182f6d2b36bf046ull},
     {50622.1406f, 0.909792364f, 0.0312804058f}},
    {"reference's background changed",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc3baa396d1783c01ull, 0xb60cd6fa2cbc6eecull, 0x43a8203e6397ddd5ull, 0x36e7952c94fa56aaull, 0x17fbe9b618f8933cull, 0xab3b8896d75c6d5bull, 0x9595548c82a735d9ull, 0xeb6aad63f887187eull},
     {50622.1406f, 0.248524696f, 0.0317465514f}},
    {"reference's origin moved",
     {0xbf5f8cd8822d8b7cull, 0x994c55e6697ab4c2ull, 0x7d15bdb558a66a17ull, 0xc3baa396d1783c01ull, 0xb60cd6fa2cbc6eecull, 0x43a8203e6397ddd5ull, 0x36e7952c94fa56aaull, 0x63d1e0d984e11b2dull, 0xde98b9d508ee0c5full, 0xf9addba74b12c368ull, 0xbe924cfe5df70b47ull},
     {50622.1406f, 0.248510718f, 0.0196165796f}},
    {"doubling 0",
     {0xbf5f8cd8822d8b7cull, 0x4521d5fe6a286cc2ull, 0xdcadaf277624eefcull, 0xe288dcbc4d92ae48ull, 0x70d90add98c7f5fbull, 0xeaebaef250996d6aull, 0xd2438cd75ff89945ull, 0xbee614f290d7b295ull, 0x38e46293a3694b6bull, 0x060690e7af99ccc6ull, 0xc9bd75f8b9f610c8ull},
     {64567.6211f, 0.53831166f, 0.00351083372f}},
    {"doubling 0, recomputed",
     {0xbf5f8cd8822d8b7cull, 0x4521d5fe6a286cc2ull, 0xdcadaf277624eefcull, 0xe288dcbc4d92ae48ull, 0x70d90add98c7f5fbull, 0xeaebaef250996d6aull, 0xd2438cd75ff89945ull, 0xbee614f290d7b295ull, 0x38e46293a3694b6bull, 0x060690e7af99ccc6ull, 0xc9bd75f8b9f610c8ull},
     {64567.6211f, 0.53831166f, 0.00351083372f}},
    {"tails on both sides",
     {0x4659a847ec3faad5ull, 0x143523296ecb2a6aull, 0x8f9879af097089fbull, 0x3a360b0665482a0full, 0x46d6084caa0baaffull, 0x888fe861f9e70f5eull, 0x022c49ec73901aaeull, 0xbc01022583854144ull, 0x22429cfc1a056eecull, 0x48cd09887987b30cull, 0x3c88e4c0783f7d92ull},
     {53174.3359f, 0.291743726f, 0.0176610127f}},
    {"tails, doubling 3, no wavelength",
     {0x4659a847ec3faad5ull, 0x056f9e86a37f756eull, 0x5b45cbb1acce3a52ull, 0x25a4307b3665775cull, 0x240ede234ccb168cull, 0x323751b7b0a5b3c1ull, 0xe4af6e909450f5b9ull, 0xb568d473d9640811ull, 0xc7c513a776e1feb1ull, 0xb8c6ef943fb39398ull, 0x2639aebf3a8886c1ull},
     {45695.5898f, 0.20989047f, 0.0182424821f}},
    {"limit unset again, reference doubled",
     {0x4659a847ec3faad5ull, 0x056f9e86a37f756eull, 0x5b45cbb1acce3a52ull, 0x25a4307b3665775cull, 0x240ede234ccb168cull, 0x323751b7b0a5b3c1ull, 0x91c79b86ade1fb33ull, 0x8573b65446645f4aull, 0xf35ae7b696c5f743ull, 0x44d66b38a006f471ull, 0x09a80a310d7efdf3ull},
     {45695.5898f, 0.207534567f, 0.0126781901f}},
};

struct session {
  tree t;
  assoc_class* observed;
  assoc_class* reference;
  session() {
    std::uint64_t a = 11, b = 29;
    observed = t.add_file("/scans/observed.xdd", 20.0, 0.02, 3000, doublet{50.0, 0.35, 900.0, a});
    reference = t.add_file("/scans/reference.xdd", 21.0, 0.025, 2300, doublet{49.5, 0.12, 2500.0, b});
  }
  xy_yobs_4& p() { return *tree::yobs(observed); }
  assoc_class* option(const char* name) { return tree::option(observed, name); }
  assoc_class* tail(bool right, const char* name) {
    return find(*tree::node<B_ex_consts_3>(observed, right ? "ex_r_consts" : "ex_l_consts"), name);
  }
};

// The edits, one per pinned step, each followed by the requests of a redraw.
std::vector<std::string> run_session(std::vector<std::vector<std::uint64_t>>& got, std::vector<sample_values>& values) {
  session s;
  std::vector<std::string> names;
  auto record = [&](const char* what) {
    xy_yobs_4& p = s.p();
    EXPECT_TRUE(p.run_deconvolution()) << what;
    EXPECT_TRUE(p.run_inverse()) << what;
    std::vector<std::uint64_t> h;
    for (int k = 0; k < stage_count; ++k) h.push_back(bits_hash(*stage_vector(p, k)));
    got.push_back(h);
    values.push_back(samples(p));
    names.emplace_back(what);
  };

  s.option("fBreq_doubler")->set_int(2);
  s.option("lBamda")->set_double(1.5406);
  s.option("fft_zero")->set_text("50.03");
  s.option("aBo_bkg")->set_double(140.0);
  s.option("aB1_bkg")->set_double(0.4);
  EXPECT_EQ(tree::node<ref_prof_3>(s.observed, "ref_prof")->set_text_with_limits("/scans/reference.xdd"), 0);
  record("first computation, doubling 2, wavelength set, limits unset");

  s.option("fBft_recal")->set_int(1);
  record("recomputed as on every move of a drag");

  s.option("fBft_recal")->set_int(1);
  record("and once more");

  s.option("fft_zero")->set_text("49.871");
  record("origin moved off the peak");

  s.option("fBft_f2_lim")->set_double(700.4);
  record("frequency limit lowered");

  tree::option(s.reference, "aBo_bkg")->set_double(60.0);
  tree::option(s.reference, "fBft_recal")->set_int(1);
  record("reference's background changed");

  tree::option(s.reference, "fft_zero")->set_text("49.6");
  record("reference's origin moved");

  s.option("fBreq_doubler")->set_int(0);
  record("doubling 0");

  s.option("fBft_recal")->set_int(1);
  record("doubling 0, recomputed");

  s.tail(false, "eBxtr_a1_use")->set_int(1);
  s.tail(false, "nBpts_i1")->set_double(-400);
  s.tail(false, "nBpts_i2")->set_double(600);
  s.tail(true, "eBxtr_a2_use")->set_int(1);
  s.tail(true, "nBpts_i1")->set_double(2300);
  s.tail(true, "nBpts_i2")->set_double(3700);
  record("tails on both sides");

  s.option("fBreq_doubler")->set_int(3);
  s.option("lBamda")->set_double(0.0);
  record("tails, doubling 3, no wavelength");

  s.option("fBft_f2_lim")->set_double(-999.0);
  tree::option(s.reference, "fBreq_doubler")->set_int(1);
  record("limit unset again, reference doubled");
  return names;
}

std::string hex(std::uint64_t v) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%016llxull", static_cast<unsigned long long>(v));
  return b;
}

TEST(ChainBitExact, EveryStageGivesThePinnedFloatsThroughASessionOnEveryTransformPath) {
  std::vector<fft_kernel::path> paths{fft_kernel::path::portable};
  if (fft_kernel::avx2_supported()) paths.push_back(fft_kernel::path::avx2);
  if (fft_kernel::avx512_supported()) paths.push_back(fft_kernel::path::avx512);
  for (fft_kernel::path path : paths) {
    fft_kernel::set_path(path);
    std::vector<std::vector<std::uint64_t>> got;
    std::vector<sample_values> values;
    const std::vector<std::string> names = run_session(got, values);
    fft_kernel::set_path(fft_kernel::path::automatic);
    const std::size_t steps = std::size(pinned);
    std::string table;
    for (std::size_t i = 0; i < names.size(); ++i) {
      table += "    {\"" + names[i] + "\",\n     {";
      for (int k = 0; k < stage_count; ++k) table += hex(got[i][k]) + (k + 1 < stage_count ? ", " : "");
      char v[160];
      std::snprintf(v, sizeof v, "},\n     {%.9gf, %.9gf, %.9gf}},\n", values[i].shifted_re_1, values[i].quotient_re_1,
                    values[i].profile_middle);
      table += v;
    }
    EXPECT_EQ(names.size(), steps) << "one pinned row per step";
    for (std::size_t i = 0; i < steps && i < names.size(); ++i) {
      EXPECT_EQ(names[i], pinned[i].what);
      for (int k = 0; k < stage_count; ++k)
        EXPECT_EQ(got[i][k], pinned[i].hash[k])
            << "path " << static_cast<int>(path) << ", " << names[i] << ": " << stage_names[k];
      EXPECT_EQ(values[i].shifted_re_1, pinned[i].values.shifted_re_1) << names[i];
      EXPECT_EQ(values[i].quotient_re_1, pinned[i].values.quotient_re_1) << names[i];
      EXPECT_EQ(values[i].profile_middle, pinned[i].values.profile_middle) << names[i];
    }
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "what this build gives:\n" << table;
      return;
    }
  }
}

}  // namespace
