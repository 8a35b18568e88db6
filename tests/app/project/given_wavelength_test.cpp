#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/platform/command_ids.h"
#include "app/shell/application_session.h"
#include "app/shell/hint_text_3.h"
#include "../workbench_fixture.h"

namespace {

class GivenWavelength : public Workbench {
 protected:
  std::string two_columns(const std::string& name) {
    std::string text;
    for (int i = 0; i < 21; ++i) text += std::to_string(40 + i) + ".0 " + std::to_string(100 + i * (20 - i)) + "\n";
    return write(name, text);
  }
  // The file's line as info and the file button's hint give it.
  static std::string described(assoc_class* file) { return file ? describe_data_file(*file) : ""; }
};

TEST_F(GivenWavelength, AProjectReopensAFileWithTheWavelengthItWasGivenNotTheDefault) {
  const struct {
    const char* what;
    const char* given_at_save;
    const char* given_at_open;
    const char* said;
  } rows[] = {
      {"given, then reopened", "1.5418", "", "Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given with --wavelength"},
      {"given, then reopened with another", "1.5418", "0.7093",
       "Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given with --wavelength"},
      {"assumed, then reopened", "", "", "Lambda= 1.5406; wavelength not in the file: 1.5406 \u00c5 assumed"},
      {"assumed, then reopened with one given", "", "0.7093",
       "Lambda= 0.7093; wavelength not in the file: 0.7093 \u00c5 given with --wavelength"},
  };
  for (const auto& r : rows) {
    const std::string project = (dir / "p.prj").string();
    session->give_wavelength(r.given_at_save, "with --wavelength");
    ASSERT_NE(session->load_file(two_columns("scan.xy")), nullptr) << r.what;
    ASSERT_NE(session->load_file(scan("own.xdd")), nullptr) << r.what;
    std::ostringstream err;
    ASSERT_TRUE(session->save_project(project, err)) << r.what << ": " << err.str();
    for (assoc_class* f : session->loaded_files()) session->unload_file(f);

    session->give_wavelength(r.given_at_open, "with --wavelength");
    ASSERT_TRUE(session->open_project(project, err)) << r.what << ": " << err.str();
    const auto files = session->loaded_files();
    ASSERT_EQ(files.size(), 2u) << r.what;
    const std::string xy = described(files[0]);
    EXPECT_NE(xy.find(r.said), std::string::npos) << r.what << ": " << xy;
    EXPECT_EQ(xy.find("wavelength not in the file", xy.find("wavelength not in the file") + 1), std::string::npos)
        << r.what << ": said once: " << xy;
    const std::string own = described(files[1]);
    EXPECT_NE(own.find("Lambda= 1.5406"), std::string::npos) << r.what << ": " << own;
    EXPECT_EQ(own.find("wavelength not in the file"), std::string::npos) << r.what << ": " << own;
    for (assoc_class* f : session->loaded_files()) session->unload_file(f);
    session->give_wavelength("", "");
  }
}

TEST_F(GivenWavelength, LoadDataAsksTheWavelengthAndGivesItOnlyToFilesWithoutOne) {
  screen.queue_files_with_wavelength({two_columns("scan.xy"), scan("own.xdd")}, "1.5418");
  screen.user_command(command_id::load_data);
  ASSERT_FALSE(screen.file_requests().empty());
  EXPECT_TRUE(screen.file_requests().back().offer_wavelength) << "Load Data offers the field";
  const auto files = session->loaded_files();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_NE(described(files[0]).find("Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given on Load Data"),
            std::string::npos)
      << described(files[0]);
  EXPECT_NE(described(files[1]).find("Lambda= 1.5406"), std::string::npos) << described(files[1]);
  int kept = 0;
  for (const std::string& m : messages())
    kept += m.find(": the file's own wavelength, 1.5406 \u00c5, is kept; the 1.5418 \u00c5 given is for files "
                   "without one") != std::string::npos;
  EXPECT_EQ(kept, 1) << "said once, for the file that has its own";

  // The next Load Data without it assumes the default again.
  screen.queue_files({two_columns("next.xy")});
  screen.user_command(command_id::load_data);
  ASSERT_EQ(session->loaded_files().size(), 3u);
  EXPECT_NE(described(session->loaded_files()[2]).find("wavelength not in the file: 1.5406 \u00c5 assumed"),
            std::string::npos);
}

}  // namespace
