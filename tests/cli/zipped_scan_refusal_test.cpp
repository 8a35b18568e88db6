// The batch tool on BRML and RASX archives that are broken or hostile: each
// is refused with the file and the cause, the command exits 1, and nothing
// of the archive reaches the disk.

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "batch_runner.h"

namespace {

namespace fs = std::filesystem;

class ZippedScans : public BatchFolder {
 protected:
  // An archive of the entries written by libzip into the folder.
  std::string archive(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) const {
    int error = 0;
    zip_t* z = zip_open(path(name).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) ADD_FAILURE() << "cannot make " << name;
    for (const auto& [entry, bytes] : files) {
      zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
      if (zip_file_add(z, entry.c_str(), s, 0) < 0) zip_source_free(s);
    }
    zip_close(z);
    return path(name);
  }
  std::vector<std::string> files_here() const {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) out.push_back(fs::relative(e.path(), dir).string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(ZippedScans, InfoRefusesACutOrHostileArchiveAndWritesNothing) {
  fs::create_directories(dir / "in");
  const std::string profile = "10\t1\t1\n10.04\t2\t1\n10.08\t3\t1\n10.12\t4\t1\n";
  const std::string whole = contents(archive("in/whole.rasx", {{"Data0/Profile0.txt", profile}}));
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> entries;  // empty: the whole archive cut in two
    const char* why;
  } rows[] = {
      {"in/cut.rasx", {}, "Not a readable zip archive ("},
      {"in/climb.rasx", {{"Data0/Profile0.txt", profile}, {"../x", "out of the folder"}},
       "The archive holds an entry named \"../x\", a path outside the archive's folder"},
      {"in/bomb.brml", {{"Experiment0/RawData0.xml", std::string(30'000'000, '<')}},
       "The archive would unpack to more than "},
  };
  for (const auto& r : rows) {
    const std::string file = r.entries.empty() ? write(r.name, whole.substr(0, whole.size() / 2))
                                               : archive(r.name, r.entries);
    const std::vector<std::string> before = files_here();
    const run_result result = run({"info", file});
    EXPECT_EQ(result.status, 1) << r.name;
    EXPECT_EQ(result.err.rfind("Error loading file " + file + "\n" + r.why, 0), 0u) << r.name << ": " << result.err;
    EXPECT_EQ(files_here(), before) << r.name << ": nothing unpacked";
    EXPECT_FALSE(fs::exists(dir / "x")) << r.name;
  }
  // The whole archive loads: what was refused was the damage, not the layout.
  const run_result good = run({"info", path("in/whole.rasx")});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_NE(good.out.find("Npts= 4"), std::string::npos) << good.out;
}

}  // namespace
