// Saves that the system stops part-way or refuses outright: a file that may
// not grow past its first few bytes, and a folder that takes no new file even
// from the superuser. The old file must stay as it was, nothing may be left
// behind, the user must be told which file and why, and the workbench must
// go on as before.

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"

namespace {

namespace fs = std::filesystem;

// While it lives, no file of this process may grow past `bytes`: a write
// beyond fails with EFBIG part-way through. SIGXFSZ, which would otherwise
// end the process, is ignored meanwhile. Nothing is printed while it lives,
// since the test's own output may be going to a file: checks come after.
class file_size_limit {
 public:
  explicit file_size_limit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    signal_set_ = ::sigaction(SIGXFSZ, &ignore, &previous_signal_) == 0;
    limit_set_ = ::getrlimit(RLIMIT_FSIZE, &previous_) == 0;
    if (limit_set_) {
      rlimit lowered = previous_;
      lowered.rlim_cur = bytes;
      limit_set_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
  }
  ~file_size_limit() {
    if (limit_set_) ::setrlimit(RLIMIT_FSIZE, &previous_);
    if (signal_set_) ::sigaction(SIGXFSZ, &previous_signal_, nullptr);
  }
  file_size_limit(const file_size_limit&) = delete;
  file_size_limit& operator=(const file_size_limit&) = delete;

  bool in_force() const { return limit_set_ && signal_set_; }

 private:
  rlimit previous_{};
  struct sigaction previous_signal_ {};
  bool limit_set_ = false;
  bool signal_set_ = false;
};

// What the limit above makes the system say.
const std::string too_large = std::strerror(EFBIG);
// Fewer bytes than the smallest project or data file written here holds.
constexpr rlim_t first_bytes = 32;

// A folder that takes no new file, for as long as this lives. Permission bits
// do not stop the superuser, so as root the folder is mounted read-only over
// itself in a mount namespace of this process's own, or else marked
// immutable; `reason` is what the system then says to a new file, and
// `why_not` says why none of it could be done.
class read_only_folder {
 public:
  explicit read_only_folder(const fs::path& folder) : folder_(folder) {
    if (::geteuid() != 0) {
      fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
      if (refuses_new_files()) {
        undo_ = [this] { fs::permissions(folder_, fs::perms::owner_all); };
        return;
      }
      fs::permissions(folder_, fs::perms::owner_all);
      why_not = "the folder's permissions do not stop this user";
      return;
    }
    if (mount_read_only() || make_immutable()) return;
    why_not = "as root, neither a read-only bind mount (" + mount_failure_ + ") nor an immutable folder (" +
              immutable_failure_ + ") could be made";
  }
  ~read_only_folder() {
    if (undo_) undo_();
  }
  read_only_folder(const read_only_folder&) = delete;
  read_only_folder& operator=(const read_only_folder&) = delete;

  bool works() const { return why_not.empty(); }
  std::string reason;
  std::string why_not;

 private:
  // Tries a new file in the folder; true (with the system's reason kept)
  // when it is refused.
  bool refuses_new_files() {
    const std::string probe = (folder_ / "probe").string();
    const int fd = ::open(probe.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd >= 0) {
      ::close(fd);
      ::unlink(probe.c_str());
      return false;
    }
    reason = std::strerror(errno);
    return true;
  }

  bool mount_read_only() {
    const std::string path = folder_.string();
    // The namespace is this process's alone, and its mounts are made private
    // first, so that the read-only mount is seen nowhere else.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      mount_failure_ = std::strerror(errno);
      return false;
    }
    if (::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      mount_failure_ = std::strerror(errno);
      ::umount2(path.c_str(), MNT_DETACH);
      return false;
    }
    undo_ = [path] { ::umount2(path.c_str(), MNT_DETACH); };
    if (refuses_new_files()) return true;
    mount_failure_ = "the mounted folder still took a file";
    undo_();
    undo_ = nullptr;
    return false;
  }

  bool set_immutable(bool on) {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
  }

  bool make_immutable() {
    if (!set_immutable(true)) {
      immutable_failure_ = std::strerror(errno);
      return false;
    }
    // Undone before the test's folder is removed: an immutable folder
    // cannot be emptied.
    undo_ = [this] { set_immutable(false); };
    if (refuses_new_files()) return true;
    immutable_failure_ = "the immutable folder still took a file";
    undo_();
    undo_ = nullptr;
    return false;
  }

  fs::path folder_;
  std::function<void()> undo_;
  std::string mount_failure_;
  std::string immutable_failure_;
};

class SaveFaults : public Workbench {
 protected:
  void save_project_as(const fs::path& path) {
    screen.queue_files({path.string()});
    app->command(command_id::save_project_as);
  }
  std::string project() { return get_text_named(*app, "pDroj_path_name"); }
  int project_modified() { return get_int_named(*app, "set_proj_dirty"); }
  // A user's edit: the project becomes modified and the file changed.
  void edit(assoc_class* file, const char* origin) { find(*file, "fft_zero")->set_text_with_limits(origin); }

  // "Load Data" with one file: a view shows it, and its file button is the first.
  assoc_class* load_into_view(const std::string& path) {
    screen.queue_files({path});
    screen.user_command(command_id::load_data);
    return file_count() > 0 ? files()->child(file_count() - 1) : nullptr;
  }
  // "Save As" from the popup menu of the first file button, the user
  // choosing `path`.
  void save_file_as(const fs::path& path) {
    screen.queue_popup(view_command::file_save_as);
    screen.queue_files({path.string()});
    screen.user_presses_button(view_command::first_file_button, platform_types::mouse_button::right);
  }
  static std::string path_of(assoc_class* file) { return get_text_named(*file, "xDdd_path_name"); }
};

TEST_F(SaveFaults, SavesStoppedPartWayKeepTheOldFilesThePathsAndTheModifiedMarks) {
  const std::string a = scan("a.xdd");
  assoc_class* file = load_into_view(a);
  ASSERT_NE(file, nullptr);
  save_project_as(dir / "p.PRJ");
  ASSERT_EQ(project(), (dir / "p.PRJ").string());
  std::ofstream(dir / "other.PRJ") << "another project\n";
  std::ofstream(dir / "other.xdd") << "another data file\n";
  edit(file, "21");
  ASSERT_EQ(project_modified(), 1);
  ASSERT_TRUE(file->is_changed());
  const std::string saved = contents(dir / "p.PRJ"), original = contents(a);
  const std::set<std::string> before = names_in(dir);

  auto save_project = [this](const fs::path& target) { save_project_as(target); };
  auto save_data = [this](const fs::path& target) { save_file_as(target); };
  const struct {
    const char* what;
    const char* name;  // in the test's folder; the first of each kind exist beforehand
    std::function<void(const fs::path&)> save;
  } rows[] = {{"Save Project As over the open project", "p.PRJ", save_project},
              {"Save Project As over another project", "other.PRJ", save_project},
              {"Save Project As to a new file", "new.PRJ", save_project},
              {"Save As of a data file over its own file", "a.xdd", save_data},
              {"Save As of a data file over another file", "other.xdd", save_data},
              {"Save As of a data file to a new file", "new.xdd", save_data}};
  for (const auto& r : rows) {
    const fs::path target = dir / r.name;
    const bool existed = fs::exists(target);
    const std::string old = existed ? contents(target) : "";
    const std::size_t asked = screen.file_requests().size();
    bool limited = false;
    {
      file_size_limit limit(first_bytes);
      limited = limit.in_force();
      r.save(target);
    }
    ASSERT_TRUE(limited) << "the file size limit could not be set";
    ASSERT_EQ(screen.file_requests().size(), asked + 1) << r.what << ": the save dialog was not asked";
    EXPECT_EQ(fs::exists(target), existed) << r.what;
    if (existed) {
      EXPECT_EQ(contents(target), old) << r.what << ": the old file is intact";
    }
    EXPECT_EQ(names_in(dir), before) << r.what << ": nothing is left in the folder";
    EXPECT_EQ(shown(target.string() + ": Cannot write file: " + too_large), 1) << r.what;
    EXPECT_EQ(project(), (dir / "p.PRJ").string()) << r.what << ": the project keeps its path";
    EXPECT_EQ(project_modified(), 1) << r.what << ": the project is still modified";
    EXPECT_EQ(path_of(file), a) << r.what << ": the file keeps its name";
    EXPECT_TRUE(file->is_changed()) << r.what << ": the file is still marked changed";
  }
  EXPECT_EQ(contents(dir / "p.PRJ"), saved);
  EXPECT_EQ(contents(a), original);

  // With the limit lifted the same saves succeed.
  save_project_as(dir / "p.PRJ");
  EXPECT_EQ(project_modified(), 0);
  EXPECT_NE(contents(dir / "p.PRJ").find("\nfft_zero xdd "), std::string::npos) << "the project holds the edit";
  save_file_as(dir / "other.xdd");
  EXPECT_FALSE(file->is_changed());
  EXPECT_EQ(path_of(file), (dir / "other.xdd").string());
  EXPECT_EQ(contents(dir / "other.xdd").substr(0, 12), "A test scan\n");
  EXPECT_EQ(names_in(dir), before);
}

TEST_F(SaveFaults, AReadOnlyFolderRefusesBothSavesWithAMessageAndChangesNothing) {
  fs::create_directories(dir / "locked");
  const std::string a = scan("a.xdd");
  assoc_class* file = load_into_view(a);
  ASSERT_NE(file, nullptr);
  save_project_as(dir / "p.PRJ");
  std::ofstream(dir / "locked" / "old.PRJ") << "the old project\n";
  std::ofstream(dir / "locked" / "old.xdd") << "the old data file\n";
  edit(file, "22.5");
  ASSERT_EQ(project_modified(), 1);
  read_only_folder locked(dir / "locked");
  if (!locked.works()) GTEST_SKIP() << "no folder could be made read-only: " << locked.why_not;

  auto save_project = [this](const fs::path& target) { save_project_as(target); };
  auto save_data = [this](const fs::path& target) { save_file_as(target); };

  const struct {
    const char* what;
    const char* name;  // in the locked folder
    std::function<void(const fs::path&)> save;
  } rows[] = {
      {"Save Project As over an old project", "old.PRJ", save_project},
      {"Save Project As to a new file", "new.PRJ", save_project},
      {"Save As of a data file over an old one", "old.xdd", save_data},
      {"Save As of a data file to a new file", "new.xdd", save_data},
  };
  const std::set<std::string> before = names_in(dir / "locked");
  for (const auto& r : rows) {
    const fs::path target = dir / "locked" / r.name;
    r.save(target);
    EXPECT_EQ(shown(target.string() + ": Cannot write file: " + locked.reason), 1) << r.what;
    EXPECT_EQ(names_in(dir / "locked"), before) << r.what;
    EXPECT_EQ(project(), (dir / "p.PRJ").string()) << r.what;
    EXPECT_EQ(project_modified(), 1) << r.what;
    EXPECT_EQ(path_of(file), a) << r.what;
    EXPECT_TRUE(file->is_changed()) << r.what;
  }
  EXPECT_EQ(contents(dir / "locked" / "old.PRJ"), "the old project\n");
  EXPECT_EQ(contents(dir / "locked" / "old.xdd"), "the old data file\n");
}

}  // namespace
