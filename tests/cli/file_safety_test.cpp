// What the batch tool reads and writes, when the paths are not the plain
// files a person means: links to devices, FIFOs, empty or binary files, an
// output that is one of the inputs, a file-size limit, a path too long. Each
// is refused with the file named and the cause, nothing hangs, and nothing
// that was there is lost.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

namespace fs = std::filesystem;

// A line and its reference that size-strain analyses.
const std::string line = XRDF_SOURCE_DIR "/resources/demo/size_strain/cu111.xdd";
const std::string line_reference = XRDF_SOURCE_DIR "/resources/demo/size_strain/cu111_ref.xdd";

class FileSafety : public BatchFolder {
 protected:
  std::string fifo(const std::string& name) const {
    const std::string p = path(name);
    if (::mkfifo(p.c_str(), 0600) != 0) ADD_FAILURE() << "cannot make the FIFO " << p;
    return p;
  }
  std::string link(const std::string& name, const std::string& to) const {
    fs::create_symlink(to, path(name));
    return path(name);
  }
  std::string project_of(const std::string& name, const std::vector<std::string>& files) const {
    std::string text = "\nxdds app \nxAdd_recs xdds ";
    for (const std::string& f : files) text += "\nxdd xAdd_recs " + f;
    return write(name, text + "\n");
  }
  // A .xy scan of `n` points from 10 deg at a step of 0.02 deg, a peak in
  // its middle, written as an export writes its angles.
  std::string even_xy(const std::string& name, int n = 40) const {
    std::string text;
    for (int i = 0; i < n; ++i) {
      const double x = 10.0 + 0.02 * i;
      const double d = (i - n / 2) / 4.0;
      text += std::to_string(x) + " " + std::to_string(100.0 + 1000.0 / (1.0 + d * d)) + "\n";
    }
    return write(name, text);
  }
};

TEST_F(FileSafety, InfoProjectAndLoadRefuseALinkToADeviceAFifoOrAFolderInsteadOfHanging) {
  const std::string zero = link("zero.xdd", "/dev/zero");
  const std::string pipe = fifo("fifo.xdd");
  fs::create_directory(path("folder.prj"));
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string said;
  } rows[] = {
      {"a link to /dev/zero", {"info", zero}, zero + ": Cannot open file: it is a device, not a regular file"},
      {"a FIFO", {"info", pipe}, pipe + ": Cannot open file: it is a FIFO, not a regular file"},
      {"a project naming a FIFO", {"project", project_of("p.prj", {pipe})},
       pipe + ": Cannot open file: it is a FIFO, not a regular file"},
      {"a project that is a FIFO", {"project", fifo("fifo.prj")}, "fifo.prj: Cannot open file: it is a FIFO"},
      {"a project that is a folder", {"project", path("folder.prj")}, "folder.prj: Cannot open file: it is a folder"},
  };
  for (const auto& r : rows) {
    const run_result result = run(r.args);
    EXPECT_EQ(result.status, 1) << r.what;
    EXPECT_NE(result.err.find(r.said), std::string::npos) << r.what << ": " << result.err;
  }
}

TEST_F(FileSafety, AnEmptyBinaryOrHugeFileIsSaidToBeNoScan) {
  const struct {
    const char* name;
    std::string bytes;
    std::string why;
    std::uintmax_t sparse_size = 0;  // grown to this without a byte written: only a reader that reads it notices
  } rows[] = {
      {"empty.xdd", "", "The file is empty"},
      {"empty.csv", "", "The file is empty"},
      {"blanks.xy", "  \r\n\t\n", "The file holds only blanks"},
      {"picture.xdd", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
       "The file is not a text scan: it holds binary data (byte 0x00 at offset 8)"},
      {"raw.cpi", std::string("Raw\n10\n11\n0.1\n\x01\x02\x03", 18),
       "The file is not a text scan: it holds binary data (byte 0x01 at offset 14)"},
      {"big.xy", "", "The file is 68157440 bytes, more than any scan can be (at most 67108864)", 65ULL << 20},
  };
  for (const auto& r : rows) {
    const std::string file = write(r.name, r.bytes);
    if (r.sparse_size) fs::resize_file(file, r.sparse_size);
    const run_result result = run({"info", file});
    EXPECT_EQ(result.status, 1) << r.name;
    EXPECT_EQ(result.err, "Error loading file " + file + "\n" + r.why + "\n") << r.name;
  }
}

TEST_F(FileSafety, WritingOntoTheCommandsOwnInputIsRefusedAndTheInputKept) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd");
  const std::string linked = link("linked.xdd", a);
  const std::string project = project_of("p.prj", {a});
  const std::string kept_a = contents(a), kept_b = contents(b), kept_project = contents(project);
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string output, input;
  } rows[] = {
      {"convert onto itself", {"convert", a, a}, a, a},
      {"convert onto a link to its input", {"convert", a, linked}, linked, a},
      {"a report onto its file", {"report", a, "-o", a}, a, a},
      {"a report onto its reference", {"report", a, "--ref", b, "-o", b}, b, b},
      {"a table onto its file", {"measure", a, b, "--table", "-o", b}, b, b},
      {"a project onto its data file", {"save-project", b, "-o", b}, b, b},
      {"size and strain onto the reference", {"size-strain", "--pair", a, b, "-o", b}, b, b},
      {"a project's report onto the project", {"project", project, "-o", project}, project, project},
      {"a project's report onto its data file", {"project", project, "-o", a}, a, a},
  };
  for (const auto& r : rows) {
    const run_result result = run(r.args);
    EXPECT_EQ(result.status, 1) << r.what;
    EXPECT_EQ(result.err, r.output + ": Cannot write file: it is the input " + r.input +
                              "; the output must be another file\n")
        << r.what;
    EXPECT_EQ(contents(a), kept_a) << r.what;
    EXPECT_EQ(contents(b), kept_b) << r.what;
    EXPECT_EQ(contents(project), kept_project) << r.what;
  }
  EXPECT_TRUE(fs::is_symlink(linked));
}

TEST_F(FileSafety, AnOutputThatIsAFifoOrADeviceIsRefusedAndLeftInPlace) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd");
  const std::string pipe = fifo("out.fifo");
  const std::string pipe_xdd = fifo("out.xdd");
  // Renamed over, only the link in this folder would go, not the device.
  const std::string device = link("null.xdd", "/dev/null");
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string target, why;
  } rows[] = {
      {"convert to a FIFO", {"convert", a, pipe_xdd}, pipe_xdd, "it is a FIFO, not a regular file"},
      {"convert to a link to a device", {"convert", a, device}, device, "it is a device, not a regular file"},
      {"a report to a FIFO", {"report", a, "-o", pipe}, pipe, "it is a FIFO, not a regular file"},
      {"a project to a FIFO", {"save-project", a, "-o", pipe}, pipe, "it is a FIFO, not a regular file"},
      {"size and strain to a FIFO", {"size-strain", "--pair", line, line_reference, "-o", pipe}, pipe,
       "it is a FIFO, not a regular file"},
  };
  for (const auto& r : rows) {
    const run_result result = run(r.args);
    EXPECT_EQ(result.status, 1) << r.what;
    EXPECT_NE(result.err.find(r.target + ": Cannot write file: " + r.why), std::string::npos)
        << r.what << ": " << result.err;
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_fifo(pipe_xdd));
  EXPECT_TRUE(fs::is_symlink(device));
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"a.xdd", "b.xdd", "out.fifo", "out.xdd", "null.xdd"}))
      << "no temporary file is left";
}

TEST_F(FileSafety, ConvertingOntoALinkReplacesTheFileItLeadsToAndKeepsTheLink) {
  const std::string a = scan("a.xdd");
  const std::string real = write("real.xdd", "old");
  const std::string linked = link("linked.xdd", real);
  const run_result r = run({"convert", a, linked});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(linked));
  EXPECT_EQ(contents(real).substr(0, 12), "A test scan\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"a.xdd", "real.xdd", "linked.xdd"}));
}

// The limit is set in a child process, with SIGXFSZ at its default action as
// a shell's ulimit -f leaves it: the batch tool itself must ignore it. What it
// says comes back through a pipe, to which the limit does not apply.
run_result run_under_file_size_limit(const std::vector<std::string>& args, rlim_t bytes) {
  int ends[2];
  if (::pipe(ends) != 0) return {-1, "", "no pipe"};
  if (const pid_t child = ::fork(); child == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const run_result r = run(args);
    ::_exit(::write(ends[1], r.err.data(), r.err.size()) < 0 ? 99 : r.status);
  } else {
    ::close(ends[1]);
    run_result r;
    char buffer[4096];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) r.err.append(buffer, static_cast<std::size_t>(n));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
  }
}

TEST_F(FileSafety, AWriteStoppedByAFileSizeLimitSaysFileTooLargeAndKeepsTheOldFile) {
  const std::string a = scan("a.xdd");
  const std::string out = write("out.txt", "old");
  const std::string project = project_of("p.prj", {a});
  const struct {
    const char* what;
    std::vector<std::string> args;
  } rows[] = {
      {"convert", {"convert", a, path("out.xdd")}},
      {"a report", {"report", a, "-o", out}},
      {"a project", {"save-project", a, "-o", out}},
      {"a project's report", {"project", project, "-o", out}},
      {"size and strain", {"size-strain", "--pair", line, line_reference, "-o", out}},
  };
  write("out.xdd", "old");
  for (const auto& r : rows) {
    const run_result result = run_under_file_size_limit(r.args, 32);
    EXPECT_EQ(result.status, 1) << r.what << ": " << result.err;
    EXPECT_NE(result.err.find(": Cannot write file: " + std::string(std::strerror(EFBIG))), std::string::npos)
        << r.what << ": " << result.err;
    EXPECT_EQ(contents(out), "old") << r.what;
    EXPECT_EQ(contents(path("out.xdd")), "old") << r.what;
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"a.xdd", "out.txt", "out.xdd", "p.prj"}))
        << r.what << ": no temporary file is left";
  }
}

// Folders are made one inside the other through descriptors, since no single
// path to the deepest may be given to the system.
class deep_folders {
 public:
  deep_folders(const fs::path& top, int depth) : name_(200, 'd') {
    int at = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < depth && at >= 0; ++i) {
      fds_.push_back(at);
      if (::mkdirat(at, name_.c_str(), 0700) != 0) break;
      at = ::openat(at, name_.c_str(), O_RDONLY | O_DIRECTORY);
      path_ /= name_;
    }
    if (at >= 0) fds_.push_back(at);
  }
  ~deep_folders() {
    // The last descriptor is the deepest folder; each is removed from its parent.
    for (std::size_t i = fds_.size(); i-- > 0;) {
      if (i + 1 < fds_.size()) ::unlinkat(fds_[i], name_.c_str(), AT_REMOVEDIR);
      ::close(fds_[i]);
    }
  }
  deep_folders(const deep_folders&) = delete;
  deep_folders& operator=(const deep_folders&) = delete;
  // Below the top folder.
  const fs::path& relative() const { return path_; }

 private:
  std::string name_;
  std::vector<int> fds_;
  fs::path path_;
};

TEST_F(FileSafety, APathTooLongIsSaidToBeTooLongNotAMissingFolder) {
  const std::string a = scan("a.xdd");
  deep_folders deep(dir, 22);
  const std::string out = (dir / deep.relative() / "out.xdd").string();
  ASSERT_GT(out.size(), 4096u);
  const run_result r = run({"convert", a, out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, out + ": Cannot write file: " + std::strerror(ENAMETOOLONG) + "\n");
}

TEST_F(FileSafety, ADamagedProjectIsNamedInItsMessage) {
  const std::string a = scan("a.xdd");
  const std::string nowhere = write("nowhere.prj", "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " + a +
                                                       "\nfft_zero nowhere 3\n");
  std::string huge = "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " + a + "\nlBabel xdd ";
  huge += std::string(5'000'000, 'x') + '\0' + std::string(5'000'000, 'y') + "\n";
  const std::string nul = write("nul.prj", huge);
  const std::string empty = write("empty.prj", "");
  const std::string overlong =
      write("overlong.prj", "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " + path(std::string(3000, 'a')) + "\n");
  const struct {
    std::string project, said;
  } rows[] = {
      {nowhere, "Project file " + nowhere + " is damaged near: fft_zero\n"},
      {nul, "Project file " + nul + " is damaged: line 5 holds a NUL byte\n"},
      {overlong, "Project file " + overlong + " is damaged: a line is longer than 1999 characters\n"},
      {empty, "Project file " + empty + " is damaged: it holds no record that can be read\n"},
  };
  for (const auto& r : rows) {
    const run_result result = run({"project", r.project});
    EXPECT_EQ(result.status, 1) << r.project;
    EXPECT_EQ(result.err, r.said) << r.project;
  }
}

TEST_F(FileSafety, InfoSaysTheWavelengthIsTheDefaultAndTheScanWasResampled) {
  std::string drifting;
  for (int i = 0; i < 20; ++i) drifting += std::to_string(20.0 + 0.5 * i + (i % 2 ? 0.1 : 0.0)) + " 100\n";
  const std::string uneven = write("uneven.xy", drifting);
  const std::string even = even_xy("even.xy");
  const run_result r = run({"info", uneven, even});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, uneven + " : (20.000, 0.5053, 29.600)  Npts= 20, Lambda= 1.5406; resampled to an even step of 0.505263 "
                            "deg; wavelength not in the file: 1.5406 Å assumed\n" +
                       even + " : (10.000, 0.0200, 10.780)  Npts= 40, Lambda= 1.5406; wavelength not in the file: " +
                       "1.5406 Å assumed\n");
}

TEST_F(FileSafety, ConvertWritesTheStepAsTheShortestNumberThatReadsBackTheSameGrid) {
  const std::string once = path("once.xdd");
  const std::string twice = path("twice.xdd");
  ASSERT_EQ(run({"convert", even_xy("even.xy"), once}).status, 0);
  ASSERT_EQ(run({"convert", once, twice}).status, 0);
  const std::string text = contents(once);
  std::istringstream lines(text);
  std::string comment, x1, xd, x2;
  std::getline(lines, comment);
  lines >> x1 >> xd >> x2;
  EXPECT_EQ(xd, "0.02");
  const run_result read_back = run({"info", once, twice});
  const std::string described = " : (10.000, 0.0200, 10.780)  Npts= 40, Time= 1.0000, Lambda= 1.5406\n";
  EXPECT_EQ(read_back.out, once + described + twice + described);
  const auto grid = [](const std::string& file) { return file.substr(0, file.find("\n1", file.find("10.78"))); };
  EXPECT_EQ(grid(contents(twice)), grid(text)) << "read back and written again, the grid is the same";
}

// Every seed of the fuzz corpora, read as the batch tool reads it, ends with
// one of the documented exit statuses, and a refusal is said.
TEST_F(FileSafety, EveryFuzzSeedEndsWithADocumentedStatusAndARefusalIsSaid) {
  const fs::path corpora = XRDF_SOURCE_DIR "/fuzz/corpus";
  int files = 0;
  for (const char* kind : {"xdd", "cpi", "xy", "xrdml", "ras", "project"}) {
    for (const auto& entry : fs::directory_iterator(corpora / kind)) {
      const bool project = std::string(kind) == "project";
      // The reader is chosen by the extension: each seed is read by its own.
      fs::path copy = dir / entry.path().filename();
      copy.replace_extension(project ? "prj" : kind);
      fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
      const run_result r = run({project ? "project" : "info", copy.string()});
      EXPECT_TRUE(r.status == 0 || r.status == 1 || r.status == 2) << copy << ": status " << r.status;
      if (r.status != 0) {
        EXPECT_FALSE(r.err.empty()) << copy << " was refused without a word";
      }
      ++files;
    }
  }
  EXPECT_GT(files, 15);
}

}  // namespace
