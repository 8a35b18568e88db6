// Load Data with the scans of today's instruments, as a person does it: the
// dialog offers every type at once and each on its own, and the files chosen
// load side by side into one view.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

namespace {

TEST_F(Workbench, LoadDataOffersEveryScanTypeAndLoadsEachIntoOneView) {
  const std::string ras = (dir / "run.RAS").string();
  std::ofstream(ras) << "*RAS_DATA_START\n*RAS_HEADER_START\n*HW_XG_WAVE_LENGTH_ALPHA1 \"1.540593\"\n"
                        "*RAS_HEADER_END\n*RAS_INT_START\n20 1 1\n20.02 2 1\n20.04 3 1\n20.06 4 1\n*RAS_INT_END\n"
                        "*RAS_DATA_END\n";
  screen.queue_files({XRDF_TEST_DATA "/d8_lab6_standard.csv", XRDF_TEST_DATA "/empyrean_v1.6_powder.xrdml", ras,
                      scan("a.xdd")});
  screen.user_command(command_id::load_data);

  const platform_types::file_request& asked = screen.file_requests().back();
  std::vector<std::string> filters;
  for (const auto& f : asked.filters) filters.push_back(f.name + " | " + f.pattern);
  EXPECT_EQ(filters, (std::vector<std::string>{
                         "Diffraction scans | *.xdd *.cpi *.xy *.dat *.txt *.csv *.xrdml *.ras",
                         "XDD Files (*.XDD) | *.xdd", "CPI Files (*.CPI) | *.CPI", "XY Files (*.XY) | *.XY",
                         "DAT Files (*.DAT) | *.DAT", "TXT Files (*.TXT) | *.TXT", "CSV Files (*.CSV) | *.CSV",
                         "XRDML Files (*.XRDML) | *.XRDML", "RAS Files (*.RAS) | *.RAS"}));
  EXPECT_EQ(messages(), std::vector<std::string>{});
  EXPECT_EQ(file_count(), 4);
  TDrawView* view = view_list(*app)->focused();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->files().size(), 4u) << "one view shows them all";
}

}  // namespace
