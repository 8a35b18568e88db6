#include "app/files/xrd_open_dlg_3.h"

#include <optional>
#include <string>
#include <vector>

#include "app/files/load_data_file.h"
#include "app/files/open_series_table.h"
#include "app/platform/platform.h"
#include "app/views/series_window.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "xrd/files/xdd_data_3.h"

std::unique_ptr<assoc_class> xrd_open_dlg_3::clone_empty() const { return clone_like(*this); }

assoc_class* xrd_open_dlg_3::execute() {
  offer_wavelength(true);
  if (!run_described()) return nullptr;
  // A copy: loading runs scripts that may open this dialog's record again.
  const std::vector<std::string> paths = chosen_paths();
  const std::string wavelength = given_wavelength();
  // Nothing is loaded with a wavelength other than the one meant.
  if (const std::string why = wavelength.empty() ? "" : xdd_data_3::wavelength_refused(wavelength); !why.empty()) {
    global_error_message().append("Load Data: ").append(why.c_str()).append("; no file was loaded");
    show_error(this);
    return nullptr;
  }
  std::optional<xdd_data_3::wavelength_choice> given;
  if (!wavelength.empty()) given.emplace(wavelength, "on Load Data");
  platform* p = current_platform();
  if (p) p->set_busy(true);
  int done = 0;
  platform::frame_id table = 0;  // the last series table opened
  try {
    for (const std::string& path : paths) {
      if (const series_open s = open_series_table(path); s != series_open::not_a_table) {
        if (s == series_open::opened && p) p->opened(path);
        if (s == series_open::opened && !series_windows().empty()) table = series_windows().back();
        continue;
      }
      const load_result r = load_data_file(*this, path);
      if (r == load_result::limit_reached) break;
      if (r == load_result::loaded && p) p->opened(path);
      if (p && paths.size() > 1) p->show_progress(++done, static_cast<int>(paths.size()));
    }
  } catch (...) {
    if (p) p->set_busy(false);
    throw;
  }
  if (p) p->set_busy(false);
  // The end of the wait cleared the status bar, which said what it shows.
  if (table) series_window_changed(table);
  return assoc_class::execute();
}
