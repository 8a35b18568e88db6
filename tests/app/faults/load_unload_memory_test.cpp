// A long session must not creep: files loaded, shown and unloaded again and
// again leave the process as large as it was.

#include <unistd.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/shell/menu_commands.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/view_recs_9.h"
#include "xrd/plots/plot_view.h"

namespace {

// AddressSanitizer keeps freed memory in quarantine instead of reusing it,
// so resident memory grows under it whatever the program frees. The test
// files themselves are compiled without it: XRDF_SANITIZED_PROGRAM says that
// the code they drive runs under it.
#if defined(__SANITIZE_ADDRESS__) || defined(XRDF_SANITIZED_PROGRAM)
constexpr bool freed_memory_is_quarantined = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool freed_memory_is_quarantined = true;
#else
constexpr bool freed_memory_is_quarantined = false;
#endif
#else
constexpr bool freed_memory_is_quarantined = false;
#endif

// The process's resident memory in bytes, 0 when it cannot be read.
long resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  if (!(statm >> size >> resident)) return 0;
  return resident * ::sysconf(_SC_PAGESIZE);
}

// How the loaded files are taken away again.
struct unload_route {
  const char* name;
  std::function<void(headless_platform&, assoc_class& loaded_files)> unload;
};

void PrintTo(const unload_route& r, std::ostream* os) { *os << r.name; }

class LongSession : public Workbench, public testing::WithParamInterface<unload_route> {
 protected:
  // Loads every file into a new graph view, paints it showing the observed
  // profiles and then their transforms (which runs each file's chain),
  // unloads them all, and lets the application idle so that its deletion
  // bin, where the view's lines and then the view itself went, is emptied.
  // False when any step did not happen: the rounds would then measure
  // something else.
  bool load_show_and_unload(const std::vector<std::string>& paths) {
    auto* made = dynamic_cast<for_dr_vw_3*>(app->new_graph_view());
    if (!made) return false;
    for_dr_vw_3& view = *made;
    for (const std::string& p : paths) {
      assoc_class* file = session->load_file(p);
      if (!file || !view.add_file(file)) return false;
    }
    view.lines_changed();
    view.show_all();
    blank_surface nobody_looks;
    view.show_families(show_bits::observed);
    view.paint(nobody_looks);
    view.show_families(show_bits::transform_mod);
    view.paint(nobody_looks);
    if (file_count() != static_cast<int>(paths.size())) return false;
    GetParam().unload(screen, *files());
    const bool lines_binned = app->deletion_bin()->child_count() > 0;
    screen.user_idles();
    // What the scripted platform records is the test's, not the program's.
    screen.clear_calls();
    return lines_binned && file_count() == 0 && view_list(*app)->views().empty() &&
           app->deletion_bin()->child_count() == 0 && screen.pending_answers() == 0;
  }
};

TEST_P(LongSession, loading_showing_and_unloading_32_files_100_times_leaves_resident_memory_where_it_was) {
  if (freed_memory_is_quarantined) GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
  std::vector<std::string> paths;
  for (int i = 0; i < 32; ++i) paths.push_back(scan("scan" + std::to_string(i) + ".xdd", 512));
  ASSERT_TRUE(load_show_and_unload(paths)) << "the warm-up round";
  const long before = resident_bytes();
  ASSERT_GT(before, 0) << "/proc/self/statm cannot be read";
  for (int round = 1; round <= 100; ++round) ASSERT_TRUE(load_show_and_unload(paths)) << "round " << round;
  const long after = resident_bytes();
  EXPECT_LE(after, before + before / 20) << "resident memory grew from " << before << " to " << after << " bytes";
}

INSTANTIATE_TEST_SUITE_P(
    unloads, LongSession,
    testing::Values(
        // "Unload Data": each file through "do_unload", as the person's command does.
        unload_route{"by_the_unload_data_command",
                     [](headless_platform& screen, assoc_class&) { screen.user_command(command_id::unload_data); }},
        // The batch tool's way: each file's node deleted from the loaded files.
        unload_route{"by_deleting_each_file_from_the_loaded_files",
                     [](headless_platform&, assoc_class& loaded) {
                       while (assoc_class* file = loaded.first_child()) loaded.delete_child(file);
                     }}),
    testing::PrintToStringParamName());

}  // namespace
