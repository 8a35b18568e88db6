#include "app/analysis/background_subtraction.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "app/analysis/pattern_analysis.h"
#include "core/assoc_class.h"
#include "core/node_watch.h"
#include "core/text_helpers.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/pattern/pattern_background.h"

namespace {

std::string path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

// <stem>_less_background.xdd beside `beside`, numbered past any loaded
// file's path or file on disk.
std::string free_path(assoc_class& app, const std::string& beside) {
  std::vector<std::string> taken;
  if (assoc_class* loaded = find(app, "xAdd_recs"))
    for (int i = 0; i < loaded->child_count(); ++i) taken.push_back(path_of(*loaded->child(i)));
  const std::filesystem::path p(beside);
  for (int n = 1;; ++n) {
    std::string stem = p.stem().string();
    stem.append("_less_background");
    if (n > 1) stem.append("_").append(std::to_string(n));
    std::filesystem::path candidate = p;
    candidate.replace_filename(stem + ".xdd");
    std::error_code ec;
    if (std::find(taken.begin(), taken.end(), candidate.string()) == taken.end() &&
        !std::filesystem::exists(candidate, ec))
      return candidate.string();
  }
}

// How far the noise-clipped background is lifted is read over this many
// clipping windows each side of a point, wide enough that a line or two
// stand among many points between lines.
constexpr double levelling_windows = 10.0;
// Points further than this many noise deviations above the typical
// residual are taken for lines, not noise.
constexpr double noise_deviations = 2.5;

double median_of(std::vector<double> v) {
  if (v.empty()) return 0.0;
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// The counting noise of one point, from neighbours' differences (robust to
// the few differences on the lines' flanks): the normal MAD, / √2 for a
// difference of two points.
double point_noise(const std::vector<double>& y) {
  std::vector<double> d;
  for (std::size_t i = 1; i < y.size(); ++i) d.push_back(std::fabs(y[i] - y[i - 1]));
  return 1.4826 * median_of(std::move(d)) / std::sqrt(2.0);
}

}  // namespace

std::vector<double> background_to_subtract(const std::vector<double>& x, const std::vector<double>& y) {
  const std::size_t n = std::min(x.size(), y.size());
  const pattern_background clipped = background_of(x, y);
  std::vector<double> b = clipped.y;
  if (n < 3) return b;
  const double step = (x[n - 1] - x[0]) / static_cast<double>(n - 1);
  if (!(step > 0.0) || !(clipped.window_x > 0.0) || !std::isfinite(clipped.window_x / step)) return b;
  const auto half = static_cast<std::size_t>(
      std::clamp(std::lround(levelling_windows * clipped.window_x / step), 1L, static_cast<long>(n)));
  const double sigma = point_noise(std::vector<double>(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n)));
  std::vector<double> residual(n);
  for (std::size_t i = 0; i < n; ++i) residual[i] = y[i] - b[i];
  // The lift changes slowly: it is read at points a sixteenth of the
  // reach apart and drawn straight between them, which keeps a long scan
  // as quick as a short one.
  const std::size_t every = std::max<std::size_t>(1, half / 8);
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < n; i += every) at.push_back(i);
  if (at.back() != n - 1) at.push_back(n - 1);
  std::vector<double> lift(at.size(), 0.0), near;
  for (std::size_t k = 0; k < at.size(); ++k) {
    const std::size_t i = at[k];
    const std::size_t from = i >= half ? i - half : 0, to = std::min(n - 1, i + half);
    near.assign(residual.begin() + static_cast<std::ptrdiff_t>(from), residual.begin() + static_cast<std::ptrdiff_t>(to + 1));
    // The typical residual, then the mean of those within the noise of it.
    const double typical = median_of(near);
    double sum = 0.0;
    int count = 0;
    for (double r : near)
      if (std::fabs(r - typical) <= noise_deviations * sigma) {
        sum += r;
        ++count;
      }
    // Clipping only ever lowers: the offset lifts, never lowers further.
    if (count > 0) lift[k] = std::max(0.0, sum / count);
  }
  for (std::size_t k = 0; k + 1 < at.size(); ++k)
    for (std::size_t i = at[k]; i <= at[k + 1]; ++i) {
      const double t = static_cast<double>(i - at[k]) / static_cast<double>(at[k + 1] - at[k]);
      b[i] = clipped.y[i] + (1.0 - t) * lift[k] + t * lift[k + 1];
    }
  return b;
}

bool subtract_background(assoc_class& file, std::string& why) {
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  if (!profile || profile->n < 3) {
    why = "too few points to tell a background";
    return false;
  }
  std::vector<double> x, y;
  for (int i = 0; i < profile->n; ++i) {
    x.push_back(profile->x_of(i));
    y.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
  }
  const std::vector<double> b = background_to_subtract(x, y);
  for (int i = 0; i < profile->n; ++i)
    profile->y[profile->y.base() + i] = static_cast<float>(y[static_cast<std::size_t>(i)] - b[static_cast<std::size_t>(i)]);
  profile->profile_changed();
  if (auto* chain = dynamic_cast<xy_yobs_4*>(profile)) chain->invalidate_chain();
  if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"))) {
    std::string comment = data->comment.c_str();
    comment += (comment.empty() ? "" : "; ") + std::string("less its background (peak clipping, window ") +
               format_number("%.3g", clipping_window_x(x, y)) + " deg)";
    data->comment.assign(comment.c_str());
  }
  return true;
}

assoc_class* background_subtracted_file(assoc_class& app, assoc_class& file, std::string& why) {
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  if (!profile || profile->n < 3) {
    why = "too few points to tell a background";
    return nullptr;
  }
  node_watch made(line_window_file(app, file, free_path(app, path_of(file)), profile->x_of(0),
                                   profile->x_of(profile->n - 1), why));
  if (!made) return nullptr;
  if (!subtract_background(*made.get(), why)) {
    if (made && made.get()->parent()) made.get()->parent()->delete_child(made.get());
    return nullptr;
  }
  // Never written until it is saved, as a capture.
  made.get()->set_changed(true);
  return made.get();
}
