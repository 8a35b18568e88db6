#pragma once

// Runs a series job as a worker does, in a session of its own on the
// bundled template: prepared once, then asked for the row of each scan of
// its inputs. And the small scans the series' tests are made of.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/shell/application_session.h"
#include "app/shell/series_inputs.h"
#include "app/shell/series_job.h"
#include "cli/null_platform.h"
#include "template/template_file.h"

struct job_run {
  bool prepared = false;
  std::string said;  // what prepare() said when it refused
  std::vector<std::string> columns;
  std::vector<series_scan> scans;
  std::vector<series_row> rows;

  // The cell of `column` in row `row`; "(no such column)" when there is none.
  std::string cell(std::size_t row, const std::string& column) const {
    for (std::size_t k = 0; k < columns.size(); ++k)
      if (columns[k] == column) return k < rows.at(row).cells.size() ? rows.at(row).cells[k] : "(no cell)";
    return "(no such column)";
  }
};

inline job_run run_job(series_job& job, const std::vector<std::string>& inputs) {
  job_run r;
  std::ostringstream err;
  set_template_path(bundled_template);
  {
    null_platform screen(err);
    const front_end_scope scope(screen, err);
    application_session session;
    r.columns = job.columns();
    r.prepared = series_scans(session, inputs, r.scans, err) && job.prepare(session, err);
    if (r.prepared) {
      r.columns = job.columns();
      for (const series_scan& s : r.scans) r.rows.push_back(job.row(session, s));
    }
  }
  r.said = err.str();
  set_template_path("");
  return r;
}

// A line of counts: a Lorentzian of FWHM `fwhm` (deg) at 2θ = `centre` on a
// flat background, from 41 to 48 deg in steps of 0.01, with counting noise.
inline std::vector<double> lorentzian_counts(double fwhm, unsigned seed, double centre = 44.5, double from = 41.0) {
  std::mt19937 random(seed);
  std::vector<double> counts;
  for (int i = 0; i <= 700; ++i) {
    const double x = from + 0.01 * i, u = 2.0 * (x - centre) / fwhm;
    const double mean = 20.0 + 20000.0 / (1.0 + u * u);
    counts.push_back(static_cast<double>(std::poisson_distribution<long>(mean)(random)));
  }
  return counts;
}

// One scan of a RAS file, from `from` in steps of 0.01 deg, Cu K-alpha1.
inline std::string ras_scan(const std::vector<double>& counts, double from = 41.0) {
  std::string t = "*RAS_HEADER_START\n*HW_XG_WAVE_LENGTH_ALPHA1 \"1.5406\"\n*RAS_HEADER_END\n*RAS_INT_START\n";
  for (std::size_t i = 0; i < counts.size(); ++i) {
    char row[64];
    std::snprintf(row, sizeof row, "%.4f %.0f\n", from + 0.01 * static_cast<double>(i), counts[i]);
    t += row;
  }
  return t + "*RAS_INT_END\n";
}

// A scan the RAS reader refuses: its third angle goes backwards.
inline std::string backwards_ras_scan() {
  return "*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n20 1\n20.5 2\n20.2 3\n21.5 4\n*RAS_INT_END\n";
}

inline std::string ras_file(const std::vector<std::string>& scans) {
  std::string t = "*RAS_DATA_START\n";
  for (const std::string& s : scans) t += s;
  return t + "*RAS_DATA_END\n";
}
