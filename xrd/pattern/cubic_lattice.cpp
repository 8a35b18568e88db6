#include "xrd/pattern/cubic_lattice.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "xrd/files/scan_text.h"
#include "xrd/pattern/peak_search.h"

namespace {

constexpr double pi = 3.14159265358979323846;

bool allowed(cubic_kind kind, int h, int k, int l) {
  const bool all_even = h % 2 == 0 && k % 2 == 0 && l % 2 == 0;
  const bool all_odd = h % 2 != 0 && k % 2 != 0 && l % 2 != 0;
  switch (kind) {
    case cubic_kind::sc:
      return true;
    case cubic_kind::bcc:  // body centring: h + k + l even
      return (h + k + l) % 2 == 0;
    case cubic_kind::fcc:  // face centring: unmixed parity
      return all_even || all_odd;
    case cubic_kind::diamond:  // fcc, less the glide's all-even h + k + l = 4n + 2
      return all_odd || (all_even && (h + k + l) % 4 == 0);
  }
  return false;
}

std::string hkl_text(int h, int k, int l) {
  if (h > 9 || k > 9 || l > 9) return std::to_string(h) + " " + std::to_string(k) + " " + std::to_string(l);
  return std::to_string(h) + std::to_string(k) + std::to_string(l);
}

bool whole(std::string_view word, int& value) {
  const char* end = word.data() + word.size();
  const auto r = std::from_chars(word.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

}  // namespace

bool parse_lattice(std::string_view text, cubic_lattice& lattice, std::string& why) {
  const std::string said = "lattice " + quoted(text);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    why = said + ": write it as KIND:A, KIND one of sc, bcc, fcc, diamond and A the lattice parameter in A";
    return false;
  }
  const std::string_view kind = trimmed(text.substr(0, colon)), a = trimmed(text.substr(colon + 1));
  static const std::map<std::string_view, cubic_kind> kinds{
      {"sc", cubic_kind::sc}, {"bcc", cubic_kind::bcc}, {"fcc", cubic_kind::fcc}, {"diamond", cubic_kind::diamond}};
  const auto found = kinds.find(kind);
  if (found == kinds.end()) {
    why = said + ": the kind " + quoted(kind) + " is none of sc, bcc, fcc, diamond";
    return false;
  }
  double value = 0.0;
  if (!number_in(a, value)) {
    why = said + ": the lattice parameter " + quoted(a) + " is not a number";
    return false;
  }
  if (!(value > 0.0) || value > 1e4) {
    why = said + ": the lattice parameter must lie above 0 and below 10000 A";
    return false;
  }
  lattice = {found->second, value};
  return true;
}

std::vector<reflection> reflections_of(const cubic_lattice& lattice, double d_min_A) {
  std::vector<reflection> out;
  if (!(lattice.a_A > 0.0) || !(d_min_A > 0.0)) return out;
  // d = a / √(h² + k² + l²) for a cubic lattice.
  const double n_max = std::pow(lattice.a_A / d_min_A, 2.0);
  if (n_max > 1e4) return out;
  const int h_max = static_cast<int>(std::floor(std::sqrt(n_max)));
  std::map<int, reflection> by_n;
  // Falling h, so that of reflections at one d the one with the largest h
  // comes first ("300/221").
  for (int h = h_max; h >= 1; --h)
    for (int k = 0; k <= h; ++k)
      for (int l = 0; l <= k; ++l) {
        const int n = h * h + k * k + l * l;
        if (n > n_max || !allowed(lattice.kind, h, k, l)) continue;
        auto [at, added] = by_n.try_emplace(n);
        if (added) {
          at->second = {h, k, l, lattice.a_A / std::sqrt(static_cast<double>(n)), hkl_text(h, k, l)};
        } else {
          at->second.label.push_back('/');
          at->second.label.append(hkl_text(h, k, l));
        }
      }
  for (auto& [n, r] : by_n) out.push_back(r);
  return out;
}

bool read_reflections(const std::string& path, std::vector<reflection>& out, std::string& why) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    why = path + ": the file cannot be opened";
    return false;
  }
  std::stringstream all;
  all << file.rdbuf();
  const std::string text = all.str();
  std::vector<reflection> rows;
  int number = 0;
  for (std::string_view line : text_lines(text)) {
    ++number;
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    const std::vector<std::string_view> words = blank_separated(line);
    if (words.empty()) continue;
    const std::string at = path + ", line " + std::to_string(number) + ": ";
    if (words.size() != 4) {
      why = at + "a row is h k l d, four values, not " + std::to_string(words.size());
      return false;
    }
    reflection r;
    int* index[] = {&r.h, &r.k, &r.l};
    const char* names[] = {"h", "k", "l"};
    for (int i = 0; i < 3; ++i)
      if (!whole(words[static_cast<std::size_t>(i)], *index[i])) {
        why = at + names[i] + " " + quoted(words[static_cast<std::size_t>(i)]) + " is not a whole number";
        return false;
      }
    if (!number_in(words[3], r.d_A)) {
      why = at + "d " + quoted(words[3]) + " is not a number";
      return false;
    }
    if (!(r.d_A > 0.0)) {
      why = at + "d must lie above 0 A";
      return false;
    }
    r.label = hkl_text(std::abs(r.h), std::abs(r.k), std::abs(r.l));
    if (r.h < 0 || r.k < 0 || r.l < 0)
      r.label = std::to_string(r.h) + " " + std::to_string(r.k) + " " + std::to_string(r.l);
    rows.push_back(r);
  }
  if (rows.empty()) {
    why = path + ": the file holds no h k l d row";
    return false;
  }
  std::stable_sort(rows.begin(), rows.end(), [](const reflection& a, const reflection& b) { return a.d_A > b.d_A; });
  out = std::move(rows);
  return true;
}

// Bragg's law, λ = 2 d sin θ.
double bragg_two_theta_deg(double d_A, double lambda_A) {
  const double s = lambda_A / (2.0 * d_A);
  if (!(s > 0.0 && s <= 1.0)) return std::numeric_limits<double>::quiet_NaN();
  return 2.0 * std::asin(s) * 180.0 / pi;
}

double bragg_d_A(double two_theta_deg, double lambda_A) {
  return lambda_A / (2.0 * std::sin(two_theta_deg * pi / 360.0));
}

line_indexing index_lines(const std::vector<found_line>& lines, const std::vector<reflection>& reflections,
                          double lambda_A, double tolerance_deg, double fwhm_fraction) {
  line_indexing out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double x = lines[i].position_x;
    const double fwhm = std::isfinite(lines[i].fwhm_x) ? lines[i].fwhm_x : 0.0;
    const double tolerance = std::max(tolerance_deg, fwhm_fraction * fwhm);
    const reflection* best = nullptr;
    double best_x = 0.0;
    for (const reflection& r : reflections) {
      const double at = bragg_two_theta_deg(r.d_A, lambda_A);
      if (!std::isfinite(at) || std::fabs(at - x) > tolerance) continue;
      if (best == nullptr || std::fabs(at - x) < std::fabs(best_x - x)) {
        best = &r;
        best_x = at;
      }
    }
    if (best == nullptr)
      out.unindexed.push_back(i);
    else
      out.indexed.push_back({i, *best, best_x, x - best_x});
  }
  return out;
}
