#include "xrd/pattern/instrument_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/file_out.h"
#include "xrd/files/scan_text.h"

namespace {

constexpr std::string_view header = "# xrdfourier instrument function";
// Two wavelengths closer than this are the same line of the same anode.
constexpr double same_wavelength_A = 1e-4;

// The shortest text that reads back to the same double.
std::string exact(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

// The values of the file, in the order written, with their comments.
struct entry {
  const char* name;
  double instrument_function::*value;
  const char* comment;
};

const entry entries[] = {
    {"U", &instrument_function::U, "deg^2, Caglioti: FWHM^2 = U tan^2(theta) + V tan(theta) + W, FWHM in deg 2theta"},
    {"U_u", &instrument_function::u_U, "deg^2, standard uncertainty of U"},
    {"V", &instrument_function::V, "deg^2"},
    {"V_u", &instrument_function::u_V, "deg^2"},
    {"W", &instrument_function::W, "deg^2"},
    {"W_u", &instrument_function::u_W, "deg^2"},
    {"eta0", &instrument_function::eta0, "pseudo-Voigt mixing: eta = eta0 + eta1 * 2theta (deg)"},
    {"eta0_u", &instrument_function::u_eta0, "standard uncertainty of eta0"},
    {"eta1", &instrument_function::eta1, "per deg 2theta"},
    {"eta1_u", &instrument_function::u_eta1, "per deg 2theta"},
    {"cov_eta0_eta1", &instrument_function::eta_covariance, "per deg 2theta, covariance of eta0 and eta1"},
    {"fwhm_chi2", &instrument_function::fwhm_chi_square, "reduced chi-square of the FWHM^2 fit"},
    {"eta_chi2", &instrument_function::eta_chi_square, "reduced chi-square of the eta fit"},
};

const char* const covariance_names[] = {"cov_UV", "cov_UW", "cov_VW"};
const std::size_t covariance_index[] = {1, 2, 5};

struct read_value {
  std::string text;
  int line = 0;
};

}  // namespace

bool write_instrument_file(const std::string& path, const instrument_function& f, std::string& why) {
  if (!f.fitted) {
    why = path + ": Cannot write file: the instrument function was not fitted";
    return false;
  }
  std::ostringstream text;
  text << header << "\n"
       << "# The instrument's line at any angle, fitted to the K-alpha doublets of a standard's lines.\n"
       << "# Names and values are read back by xrdfourier; lines starting with '#' are comments.\n"
       << "standard = " << f.standard << "\n"
       << "lambda1 = " << exact(f.source.lambda1_A) << " # A, K-alpha1\n"
       << "lambda2 = " << exact(f.source.lambda2_A) << " # A, K-alpha2\n"
       << "ratio = " << exact(f.source.ratio) << " # K-alpha2 / K-alpha1 height\n";
  bool finite = std::isfinite(f.source.lambda1_A) && std::isfinite(f.source.lambda2_A) && std::isfinite(f.source.ratio);
  for (const entry& e : entries) {
    const double v = f.*(e.value);
    finite = finite && std::isfinite(v);
    text << e.name << " = " << exact(v) << " # " << e.comment << "\n";
  }
  for (std::size_t k = 0; k < 3; ++k) {
    const double v = f.uvw_covariance[covariance_index[k]];
    finite = finite && std::isfinite(v);
    text << covariance_names[k] << " = " << exact(v) << " # deg^4, covariance\n";
  }
  for (const instrument_line& l : f.lines) {
    finite = finite && std::isfinite(l.two_theta) && std::isfinite(l.fwhm) && std::isfinite(l.fwhm_residual);
    // The label is one word, so that the numbers after it stay in their places.
    std::string label = l.label.empty() ? std::string("-") : l.label;
    std::replace_if(label.begin(), label.end(), [](char c) { return c == ' ' || c == '\t' || c == '#'; }, '_');
    text << "line = " << label << " " << exact(l.two_theta) << " " << exact(l.fwhm) << " " << exact(l.fwhm_residual)
         << " # a line used: its name, 2theta, FWHM, FWHM - fitted FWHM (deg)\n";
  }
  if (!finite) {
    why = path + ": Cannot write file: the instrument function holds a value that is not a number";
    return false;
  }
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(path, ignored);
  file_out out(path.c_str(), !folder, file_out::write_mode::replace_on_commit);
  if (out.is_open()) {
    out.put_chars(text.str().c_str());
    if (out.commit()) return true;
  }
  why = path + ": Cannot write file: " + why_not_writable(path, out.error_number());
  return false;
}

bool read_instrument_file(const std::string& path, double sample_lambda1_A, instrument_function& f,
                          std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = path + ": Cannot open file";
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  const std::vector<std::string_view> lines = text_lines(text);
  if (lines.empty() || trimmed(lines.front()) != header) {
    why = path + ": not an instrument file (its first line is not \"" + std::string(header) + "\")";
    return false;
  }
  std::map<std::string, read_value, std::less<>> values;
  std::vector<read_value> used_lines;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    std::string_view line = lines[i];
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    line = trimmed(line);
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    const std::string_view name = equals == std::string_view::npos ? std::string_view() : trimmed(line.substr(0, equals));
    if (name.empty()) {
      why = path + ": line " + std::to_string(number) + ": damaged: " + ::quoted(line) + " is no \"name = value\"";
      return false;
    }
    const std::string value(trimmed(line.substr(equals + 1)));
    if (name == "line") {
      used_lines.push_back({value, number});
      continue;
    }
    if (values.count(name)) {
      why = path + ": line " + std::to_string(number) + ": damaged: " + std::string(name) + " is given twice";
      return false;
    }
    values[std::string(name)] = {value, number};
  }

  auto number_of = [&](const char* name, double& v) {
    const auto it = values.find(name);
    if (it == values.end()) {
      why = path + ": the value " + name + " is missing";
      return false;
    }
    if (!number_in(it->second.text, v)) {
      why = path + ": line " + std::to_string(it->second.line) + ": " + name + " is not a number: " +
            ::quoted(it->second.text);
      return false;
    }
    return true;
  };
  instrument_function r;
  if (!number_of("lambda1", r.source.lambda1_A) || !number_of("lambda2", r.source.lambda2_A) ||
      !number_of("ratio", r.source.ratio))
    return false;
  if (!(r.source.lambda1_A > 0.0) || !(r.source.lambda2_A > 0.0) || !(r.source.ratio >= 0.0)) {
    why = path + ": line " + std::to_string(values["lambda1"].line) +
          ": the wavelengths must be above 0 and the ratio not below 0";
    return false;
  }
  if (sample_lambda1_A > 0.0 && std::fabs(r.source.lambda1_A - sample_lambda1_A) > same_wavelength_A) {
    why = path + ": line " + std::to_string(values["lambda1"].line) + ": made for a wavelength of " +
          exact(r.source.lambda1_A) + " A, and the sample's is " + exact(sample_lambda1_A) + " A";
    return false;
  }
  for (const entry& e : entries)
    if (!number_of(e.name, r.*(e.value))) return false;
  for (std::size_t k = 0; k < 3; ++k) {
    double v = 0.0;
    if (!number_of(covariance_names[k], v)) return false;
    const std::size_t i = covariance_index[k], row = i / 3, column = i % 3;
    r.uvw_covariance[i] = r.uvw_covariance[3 * column + row] = v;
  }
  r.uvw_covariance[0] = r.u_U * r.u_U;
  r.uvw_covariance[4] = r.u_V * r.u_V;
  r.uvw_covariance[8] = r.u_W * r.u_W;
  if (const auto it = values.find("standard"); it != values.end()) r.standard = it->second.text;
  for (const read_value& l : used_lines) {
    const std::vector<std::string_view> words = blank_separated(l.text);
    instrument_line line;
    if (words.size() != 4 || !number_in(words[1], line.two_theta) || !number_in(words[2], line.fwhm) ||
        !number_in(words[3], line.fwhm_residual)) {
      why = path + ": line " + std::to_string(l.line) + ": damaged: a line used is a name and three numbers, not " +
            ::quoted(l.text);
      return false;
    }
    if (words[0] != "-") line.label = std::string(words[0]);
    r.lines.push_back(line);
  }
  r.fitted = true;
  f = r;
  return true;
}
