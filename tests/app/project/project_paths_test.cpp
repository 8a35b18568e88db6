#include "app/project/project_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(ProjectPaths, APathIsWrittenRelativeOnlyWhenItLiesInOrBelowTheProjectsFolder) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  const struct {
    const char* what;
    std::string path;
    std::string project;
    std::string written;
  } rows[] = {
      {"a file beside the project", "/data/proj/a.xdd", "/data/proj/p.PRJ", "a.xdd"},
      {"a file in a sub-folder", "/data/proj/scans/a.xdd", "/data/proj/p.PRJ", "scans/a.xdd"},
      {"a file in the parent folder stays absolute", "/data/a.xdd", "/data/proj/p.PRJ", "/data/a.xdd"},
      {"a sibling folder whose name starts like the project's is not inside it", "/data/proj-old/a.xdd",
       "/data/proj/p.PRJ", "/data/proj-old/a.xdd"},
      {"dots in the data path are resolved first", "/data/proj/x/../a.xdd", "/data/proj/./p.PRJ", "a.xdd"},
      {"a path relative to the working folder is written absolute when outside", "a.xdd", "/elsewhere/p.PRJ",
       cwd + "/a.xdd"},
      {"a path relative to the working folder beside a relative project is relative", "scans/a.xdd",
       "scans/p.PRJ", "a.xdd"},
      {"an empty path stays empty", "", "/data/proj/p.PRJ", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(path_for_project(r.path, r.project), r.written) << r.what;
}

TEST(ProjectPaths, ARecordedPathIsTakenFromTheProjectsFolderUnlessItIsAbsolute) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  const struct {
    const char* what;
    std::string recorded;
    std::string project;
    std::string meant;
  } rows[] = {
      {"a name beside the project", "a.xdd", "/moved/p.PRJ", "/moved/a.xdd"},
      {"a sub-folder", "scans/a.xdd", "/moved/p.PRJ", "/moved/scans/a.xdd"},
      {"a parent folder written by hand", "../a.xdd", "/moved/proj/p.PRJ", "/moved/a.xdd"},
      {"an absolute path as it is", "/data/./a.xdd", "/moved/p.PRJ", "/data/./a.xdd"},
      {"a project opened by a relative path", "a.xdd", "demo/p.PRJ", cwd + "/demo/a.xdd"},
  };
  for (const auto& r : rows) EXPECT_EQ(path_from_project(r.recorded, r.project), r.meant) << r.what;
}

TEST(ProjectPaths, OnlyTheDataFileAndReferenceRecordsAreMappedAndEverythingElseIsKept) {
  const std::string saved =
      "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs /data/proj/a.xdd\nref_prof xdd /data/proj/b.xdd"
      "\nfft_zero xdd 2.0000\nhint_text xdd /data/proj/a.xdd\nxdd xAdd_recs /data/proj/b.xdd\nref_prof xdd ~";
  const std::string written =
      "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs a.xdd\nref_prof xdd b.xdd"
      "\nfft_zero xdd 2.0000\nhint_text xdd /data/proj/a.xdd\nxdd xAdd_recs b.xdd\nref_prof xdd ~";
  EXPECT_EQ(records_for_project(saved, "/data/proj/p.PRJ"), written);
  EXPECT_EQ(records_from_project(written, "/data/proj/p.PRJ"), saved) << "reading undoes writing";
  EXPECT_EQ(records_from_project("\nxdds app \r\nxdd xAdd_recs a.xdd\r\n", "/m/p.PRJ"),
            "\nxdds app \r\nxdd xAdd_recs /m/a.xdd\r\n")
      << "a line end of the file's own system stays";
}

}  // namespace
