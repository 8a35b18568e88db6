#include "app/files/xrd_open_dlg_3.h"

#include <string>
#include <vector>

#include "app/files/load_data_file.h"
#include "app/files/open_series_table.h"
#include "app/platform/platform.h"
#include "app/views/series_window.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> xrd_open_dlg_3::clone_empty() const { return clone_like(*this); }

assoc_class* xrd_open_dlg_3::execute() {
  if (!run_described()) return nullptr;
  // A copy: loading runs scripts that may open this dialog's record again.
  const std::vector<std::string> paths = chosen_paths();
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
