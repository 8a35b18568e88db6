// xrdfourier-cli plot: the figure of a view, as File > Export Figure draws
// it, written as SVG without a window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch_runner.h"
#include "../app/workbench_fixture.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"

namespace {

class Plot : public Workbench {};

TEST_F(Plot, WritesTheFigureTheWorkbenchExportsOfTheSameView) {
  const std::string a = scan("a.xdd", 40), b = scan("b.xdd", 30);
  const std::string cli = (dir / "cli.svg").string();
  const run_result r = run({"plot", a, b, "--size", "600x400", "-o", cli});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");

  screen.queue_files({a, b});
  screen.user_command(command_id::load_data);
  const std::string workbench = (dir / "workbench.svg").string();
  screen.queue_files({workbench});
  screen.queue_figure_size(platform_types::figure_size{600, 400, 96});
  screen.user_command(view_command::export_figure);
  ASSERT_TRUE(std::filesystem::exists(workbench));
  EXPECT_EQ(contents(cli), contents(workbench)) << "the same drawing of the same view";
  EXPECT_NE(contents(cli).find(">a.xdd observed</text>"), std::string::npos);
}

TEST_F(Plot, WithoutAnOutputTheDrawingGoesToStandardOutput) {
  const run_result r = run({"plot", scan("a.xdd", 40), "--show", "mod", "--size", "300x200"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("<?xml", 0), 0u);
  EXPECT_NE(r.out.find("width=\"300\" height=\"200\""), std::string::npos);
  EXPECT_NE(r.out.find(">L (Å)</text>"), std::string::npos) << "the scan's wavelength makes column lengths";
  EXPECT_NE(r.out.find(">Mod</text>"), std::string::npos);
}

TEST_F(Plot, RefusesWhatItCannotDraw) {
  const std::string a = scan("a.xdd", 40);
  const struct {
    const char* what;
    std::vector<std::string> args;
    int status;
    const char* says;
  } rows[] = {
      {"a PNG", {"plot", a, "-o", (dir / "f.png").string()}, 1, "a PNG figure is drawn by the workbench"},
      {"another file type", {"plot", a, "-o", (dir / "f.pdf").string()}, 1, "plot writes SVG drawings (.svg)"},
      {"a folder that is missing", {"plot", a, "-o", (dir / "no/f.svg").string()}, 1, "Cannot write file: the folder"},
      {"a size too small", {"plot", a, "--size", "50x400"}, 2, "--size needs WIDTHxHEIGHT"},
      {"a size that is no size", {"plot", a, "--size", "600"}, 2, "--size needs WIDTHxHEIGHT"},
      {"no file", {"plot", "--size", "600x400"}, 2, "plot needs at least one file"},
      {"an option of another command", {"plot", a, "--table"}, 2, "plot does not take --table"},
  };
  for (const auto& row : rows) {
    const run_result r = run(row.args);
    EXPECT_EQ(r.status, row.status) << row.what;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << row.what << ": " << r.err;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "only the scan: nothing written";
}

}  // namespace
