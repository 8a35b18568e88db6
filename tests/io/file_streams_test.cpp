#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/error_message.h"
#include "core/my_string.h"
#include "io/file_in.h"
#include "io/file_out.h"

namespace fs = std::filesystem;

namespace {

// Each test works in a fresh directory of its own.
class file_streams : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           (std::string("xrdf_io_") + testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const char* leaf) const { return (dir_ / leaf).string(); }
  std::string write_file(const char* leaf, const std::string& bytes) const {
    std::ofstream(path(leaf), std::ios::binary) << bytes;
    return path(leaf);
  }
  static std::string contents(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }

  fs::path dir_;
};

TEST_F(file_streams, skips_comments_and_reads_windows_line_ends_as_newlines) {
  file_in in(write_file("t", "'note\r\n/* a /* b */ */ start_templates\r\n1.5\r\nline two\r\na\rb").c_str(), true);
  EXPECT_STREQ(in.read_word(), "start_templates");
  EXPECT_EQ(in.skip_line(), 1);
  EXPECT_DOUBLE_EQ(in.read_double(), 1.5);
  in.skip_line();
  my_string line;
  ASSERT_TRUE(in.read_line(line));
  EXPECT_STREQ(line.c_str(), "line two");
  EXPECT_STREQ(in.read_word(), "a\rb");
}

TEST_F(file_streams, bytes_ff_and_nul_are_data_not_the_end) {
  file_in in(write_file("t", std::string("a\377b x\0y\nz", 10)).c_str(), true);
  EXPECT_STREQ(in.read_word(), "a");
  EXPECT_STREQ(in.read_word(), "b");
  EXPECT_EQ(in.skip_line(), 1);
  EXPECT_STREQ(in.read_word(), "z");
  EXPECT_EQ(in.position(), 10);
  EXPECT_TRUE(in.at_end());
}

TEST_F(file_streams, stepping_back_stops_at_the_history_and_replays_it_in_order) {
  std::string text;
  for (int i = 0; i < 700; ++i) text += static_cast<char>('A' + i % 26);
  file_in in(write_file("t", text).c_str(), true);
  for (int i = 0; i < 600; ++i) in.get();
  EXPECT_FALSE(in.at_end());  // reads one character ahead
  for (int i = 0; i < 600; ++i) in.unget();
  EXPECT_EQ(in.position(), 600 - file_in::history_size);
  std::string replay;
  while (!in.at_end()) replay += in.get();
  EXPECT_EQ(replay, text.substr(600 - file_in::history_size));
  EXPECT_EQ(in.get(), 0);
  EXPECT_EQ(in.position(), 700);
}

TEST_F(file_streams, failed_open_of_a_missing_file_or_a_directory_is_shown_once) {
  recording_reporter reporter;
  error_reporter* previous = set_error_reporter(&reporter);
  fs::create_directory(path("folder"));
  for (const std::string& name : {path("missing.xdd"), path("folder")}) {
    file_in in(name.c_str(), false);
    EXPECT_FALSE(in.open_or_report(nullptr));
    ASSERT_FALSE(reporter.messages.empty());
    EXPECT_EQ(reporter.messages.back().text, name + (name == path("folder") ? ": Cannot open file: it is a folder"
                                                                          : ": Cannot open file"));
    EXPECT_TRUE(global_error_message().is_empty());
  }
  set_error_reporter(previous);
  EXPECT_EQ(reporter.messages.size(), 2u);
}

// A project being saved must never be half written: the target changes only
// on commit, and no temporary is left behind either way.
TEST_F(file_streams, replacing_touches_the_target_only_on_commit_and_leaves_no_temporary) {
  for (bool commit : {true, false}) {
    const std::string target = write_file("project.prj", "old");
    {
      file_out out(target.c_str(), true, file_out::write_mode::replace_on_commit);
      ASSERT_TRUE(out.is_open());
      out.put_chars("new");
      EXPECT_EQ(contents(target), "old");
      if (commit) {
        EXPECT_TRUE(out.commit());
      }
    }
    EXPECT_EQ(contents(target), commit ? "new" : "old") << "commit " << commit;
    EXPECT_EQ(entries(), std::vector<std::string>{"project.prj"}) << "commit " << commit;
  }
}

TEST_F(file_streams, replacement_does_not_overwrite_a_leftover_temporary) {
  const std::string target = path("data.xdd");
  write_file("data.xdd.tmp0", "someone else's");
  file_out out(target.c_str(), true, file_out::write_mode::replace_on_commit);
  out.put_chars("x");
  EXPECT_TRUE(out.commit());
  EXPECT_EQ(contents(target), "x");
  EXPECT_EQ(contents(path("data.xdd.tmp0")), "someone else's");
}

TEST_F(file_streams, saving_into_a_missing_directory_fails_visibly) {
  const std::string target = path("no_such_dir/out.prj");
  for (auto how : {file_out::write_mode::direct, file_out::write_mode::replace_on_commit}) {
    file_out out(target.c_str(), true, how);
    EXPECT_FALSE(out.is_open());
    EXPECT_FALSE(out.commit());
    EXPECT_NE(std::string(out.error_text.c_str()).find(target + ": Cannot open file"), std::string::npos);
  }
  EXPECT_EQ(entries(), std::vector<std::string>{});
}

}  // namespace
