#include "app/files/xrd_open_dlg_3.h"

#include <string>
#include <vector>

#include "app/files/load_data_file.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> xrd_open_dlg_3::clone_empty() const {
  auto copy = std::make_unique<xrd_open_dlg_3>();
  copy->set_tem(tem());
  return copy;
}

assoc_class* xrd_open_dlg_3::execute() {
  if (!run_described()) return nullptr;
  // A copy: loading runs scripts that may open this dialog's record again.
  const std::vector<std::string> paths = chosen_paths();
  for (const std::string& path : paths) {
    const load_result r = load_data_file(*this, path);
    if (r == load_result::limit_reached) break;
  }
  return assoc_class::execute();
}
