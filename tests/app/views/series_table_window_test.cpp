// A series table (the batch tool's results of many scans) opened through
// Load Data, drawn as a graph of the "series" family, on the scripted
// platform.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/platform/command_ids.h"
#include "app/views/series_window.h"

namespace {

// Five scans of a heating run: the third failed, the fifth has no
// temperature. Sizes with their uncertainties, widths without.
const std::string heating =
    "index,file,scan,name,start_time,temperature_C,fwhm,area_weighted_length,area_weighted_length_u,warning\n"
    "1,run.ras,1,\"25 C, start\",2024-05-01T10:00:00,25,0.30,100,2,\n"
    "2,run.ras,2,,2024-05-01T10:05:00,100,0.28,110,2,\n"
    "3,run.ras,3,,2024-05-01T10:10:00,200,,,,no peak above the background\n"
    "4,run.ras,4,,2024-05-01T10:15:00,300,0.22,130,3,\n"
    "5,run.ras,5,,,,0.20,140,3,\n";

class SeriesTableWindow : public Workbench {
 protected:
  // Opens the table through File > Load Data; the window it opened, or 0.
  platform::frame_id load_table(const std::string& path) {
    screen.queue_files({path});
    screen.user_command(command_id::load_data);
    const std::vector<platform::frame_id> open = series_windows();
    return open.empty() ? 0 : open.back();
  }
  static std::vector<std::pair<double, double>> xy(const std::vector<series_plot::point>& run) {
    std::vector<std::pair<double, double>> out;
    for (const series_plot::point& p : run) out.emplace_back(p.x, p.y);
    return out;
  }
  static int count_starting(const std::vector<std::string>& calls, const std::string& head) {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(head, 0) == 0; }));
  }
  static bool drew_text(const std::vector<std::string>& calls, const std::string& text) {
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) {
      return c.rfind("text ", 0) == 0 && c.find("'" + text + "'") != std::string::npos;
    });
  }
  using points = std::vector<std::pair<double, double>>;
  static platform_types::mouse_event right_press() {
    platform_types::mouse_event e;
    e.action = platform_types::mouse_action::press;
    e.button = platform_types::mouse_button::right;
    e.x = 200;
    e.y = 150;
    return e;
  }
};

TEST_F(SeriesTableWindow, LoadingATableDrawsItsFirstColumnAgainstTheScanIndexWithAGapAtTheFailedScan) {
  const platform::frame_id frame = load_table(write("heating.csv", heating));
  ASSERT_NE(frame, 0);
  EXPECT_EQ(file_count(), 0) << "a table is no scan among the loaded files";
  EXPECT_EQ(screen.frame(frame)->title, "heating.csv: fwhm");
  series_plot* plot = series_window_plot(frame);
  ASSERT_NE(plot, nullptr);
  ASSERT_TRUE(plot->choose_column("area_weighted_length"));
  series_window_changed(frame);

  const auto runs = plot->runs();
  ASSERT_EQ(runs.size(), 2u) << "the failed scan breaks the line";
  EXPECT_EQ(xy(runs[0]), (points{{1, 100}, {2, 110}}));
  EXPECT_EQ(xy(runs[1]), (points{{4, 130}, {5, 140}}));
  EXPECT_DOUBLE_EQ(runs[1][0].u, 3.0) << "the _u column is the bar";
  EXPECT_EQ(screen.frame(frame)->title, "heating.csv: area_weighted_length");
  EXPECT_NE(screen.status_text(0).find("4 of 5 rows drawn; left out: row 3 (no peak above the background)"),
            std::string::npos)
      << screen.status_text(0);

  // On the screen: two joined runs, a box at each of the four points and a
  // bar with its two caps at each, the axes captioned and the legend.
  const std::vector<std::string> drawn = screen.user_paints(frame);
  EXPECT_EQ(count_starting(drawn, "polyline "), 2);
  EXPECT_EQ(count_starting(drawn, "rectangle "), 1 + 4 + 1) << "the plot's frame, the points and the legend's box";
  EXPECT_GE(count_starting(drawn, "line "), 4 * 3);
  EXPECT_TRUE(drew_text(drawn, "area_weighted_length (Å)"));
  EXPECT_TRUE(drew_text(drawn, "scan index"));
  EXPECT_TRUE(drew_text(drawn, "3"));
  EXPECT_FALSE(drew_text(drawn, "2.5")) << "no tick between two scans";
  EXPECT_TRUE(drew_text(drawn, "heating.csv: area_weighted_length"));
}

TEST_F(SeriesTableWindow, ThePopupOfColumnsChangesTheCurveAndDrawsItAgainstTemperature) {
  const platform::frame_id frame = load_table(write("heating.csv", heating));
  ASSERT_NE(frame, 0);
  series_plot* plot = series_window_plot(frame);
  ASSERT_NE(plot, nullptr);

  // A right press in the window offers the columns of figures, then the
  // two x.
  screen.queue_popup(series_choice::first_column + 1);
  screen.user_mouse(frame, right_press());
  EXPECT_TRUE(screen.called(
      "popup_menu frame " + std::to_string(frame) +
      " -1 -1 'fwhm  (shown)|area_weighted_length|area_weighted_length_u|-|Against scan index  (shown)|Against "
      "temperature'"));
  EXPECT_EQ(plot->column(), "area_weighted_length");

  // Against temperature: the scan without one left out with the failed one.
  screen.queue_popup(series_choice::against_temperature);
  screen.user_mouse(frame, right_press());
  ASSERT_TRUE(plot->against_temperature());
  const auto runs = plot->runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(xy(runs[0]), (points{{25, 100}, {100, 110}}));
  EXPECT_EQ(xy(runs[1]), (points{{300, 130}}));
  EXPECT_NE(screen.status_text(0).find("row 5 (no temperature)"), std::string::npos) << screen.status_text(0);
  const std::vector<std::string> drawn = screen.user_paints(frame);
  EXPECT_TRUE(drew_text(drawn, "temperature_C (°C)"));
  EXPECT_EQ(count_starting(drawn, "polyline "), 1) << "a run of one point is a box alone";

  // A table without temperatures does not offer them.
  const platform::frame_id cold = load_table(write(
      "cold.csv", "index,file,scan,name,start_time,temperature_C,fwhm,warning\n1,a.xy,1,,,,0.2,\n2,b.xy,1,,,,0.3,\n"));
  ASSERT_NE(cold, 0);
  screen.queue_popup(0);
  screen.user_mouse(cold, right_press());
  EXPECT_TRUE(screen.called("popup_menu frame " + std::to_string(cold) +
                            " -1 -1 'fwhm  (shown)|-|Against scan index  (shown)'"));
  EXPECT_FALSE(series_window_plot(cold)->choose_temperature(true));
}

TEST_F(SeriesTableWindow, AProjectSavedWithATableOpenReopensItWithItsColumnAndX) {
  const std::string a = scan("a.xdd");
  // A folder with a blank and a name with a comma: the project's record is one word.
  std::filesystem::create_directories(dir / "run 2");
  const std::string table = write("run 2/heating, fast.csv", heating);
  screen.queue_files({a, table});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(file_count(), 1) << "the scan loads, the table opens beside it";
  ASSERT_EQ(series_windows().size(), 1u);
  const platform::frame_id first = series_windows().front();
  series_window_plot(first)->choose_column("area_weighted_length");
  series_window_plot(first)->choose_temperature(true);

  const std::string project = (dir / "heating.prj").string();
  screen.queue_files({project});
  screen.user_command(command_id::save_project_as);
  EXPECT_TRUE(messages().empty()) << messages().front();
  EXPECT_NE(contents(project).find("sBeries_shown"), std::string::npos);

  // Closed and the project opened again: the table is back as it was.
  screen.user_closes_frame(first);
  ASSERT_TRUE(series_windows().empty());
  screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
  screen.queue_files({project});
  screen.user_command(command_id::load_project);
  EXPECT_EQ(file_count(), 1);
  ASSERT_EQ(series_windows().size(), 1u);
  const series_plot* again = series_window_plot(series_windows().front());
  EXPECT_EQ(again->path(), table);
  EXPECT_EQ(again->column(), "area_weighted_length");
  EXPECT_TRUE(again->against_temperature());
  EXPECT_EQ(screen.frame(series_windows().front())->title, "heating, fast.csv: area_weighted_length");

  // A table gone since is named, and the rest of the project opens.
  screen.user_closes_frame(series_windows().front());
  std::filesystem::rename(table, dir / "elsewhere.csv");
  screen.clear_calls();
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_files({project});
  screen.user_command(command_id::load_project);
  EXPECT_EQ(file_count(), 1);
  EXPECT_TRUE(series_windows().empty());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages().front().find("the series table " + table + " was not opened"), std::string::npos)
      << messages().front();

  // Saved again without it, the project holds no word of it.
  screen.user_command(command_id::save_project);
  EXPECT_EQ(contents(project).find("sBeries_shown"), std::string::npos);
}

TEST_F(SeriesTableWindow, TheScansReadersRefuseATableAndABrokenOneIsRefusedNamingItsLine) {
  const std::string table = write("heating.csv", heating);
  // The Fourier chain's readers, as the batch tool loads, refuse it.
  screen.clear_calls();
  EXPECT_EQ(session->load_file(table), nullptr);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages().front().find("is a series table (results, one row per scan), not a scan"), std::string::npos)
      << messages().front();

  // A table cut short: its file and its line named, no window, nothing loaded.
  screen.clear_calls();
  const std::string broken =
      write("broken.csv", "index,file,scan,name,start_time,temperature_C,fwhm,warning\n1,a.xy,1,,,,0.2,\n2,b.xy\n");
  EXPECT_EQ(load_table(broken), 0) << "no window";
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages().front().find("Error loading file " + broken + "\nLine 3: 2 cells where the header has 8"),
            std::string::npos)
      << messages().front();

  // A two-column .csv is still a scan.
  std::string two_columns = "2theta,counts\n";
  for (int i = 0; i < 20; ++i) two_columns += std::to_string(30 + 0.1 * i) + "," + std::to_string(100 + i) + "\n";
  screen.queue_files({write("plain.csv", two_columns)});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(file_count(), 1);
}

TEST_F(SeriesTableWindow, FiguresAtTheEndsOfTheDoublesAreDrawnInsideTheWindowWithoutANan) {
  const platform::frame_id frame =
      load_table(write("huge.csv",
                       "index,file,scan,name,start_time,temperature_C,x,x_u,warning\n"
                       "1,a.xy,1,,,-1e308,-1.7e308,1e308,\n2,b.xy,1,,,1e308,1.7e308,1e308,\n3,c.xy,1,,,0,1.7e308,,\n"));
  ASSERT_NE(frame, 0);
  for (bool temperature : {false, true}) {
    series_window_plot(frame)->choose_temperature(temperature);
    for (const std::string& call : screen.user_paints(frame)) {
      EXPECT_EQ(call.find("nan"), std::string::npos) << call;
      EXPECT_EQ(call.find("inf"), std::string::npos) << call;
      if (call.rfind("polyline ", 0) != 0) continue;
      std::istringstream numbers(call.substr(9));
      for (int v = 0; numbers >> v;) EXPECT_LE(std::abs(v), 1000000) << call;
    }
  }
}

}  // namespace
