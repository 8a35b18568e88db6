#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "io/file_out.h"
#include "io/string_out.h"

namespace fs = std::filesystem;

namespace {

// What printf makes of the number: projects and reports have always been
// written with these characters, and readers of old files expect them.
std::string printed(const char* format, double x) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, x);
  return buf;
}

std::string printed(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d", n);
  return buf;
}

std::string file_contents(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(NumberWriting, AFileAndATextInMemoryWriteEveryNumberAsPrintfDoes) {
  struct row {
    const char* what;
    void (*write)(stream_out&);
    std::string expected;
  };
  const row rows[] = {
      {"a double keeps four decimals", [](stream_out& o) { o.put_double(2.5); }, "2.5000"},
      {"a negative double rounds at the fourth decimal", [](stream_out& o) { o.put_double(-1234.56789); },
       printed("%-1.4f", -1234.56789)},
      {"a tiny negative double keeps its sign", [](stream_out& o) { o.put_double(-0.00004); },
       printed("%-1.4f", -0.00004)},
      {"a half of the last decimal rounds as printf does", [](stream_out& o) { o.put_double(0.00005); },
       printed("%-1.4f", 0.00005)},
      {"a huge double is written in full", [](stream_out& o) { o.put_double(1e20); }, printed("%-1.4f", 1e20)},
      {"a float is written as the double it widens to", [](stream_out& o) { o.put_float(0.1F); },
       printed("%-1.4f", static_cast<double>(0.1F))},
      {"the smallest int keeps every digit", [](stream_out& o) { o.put_int(INT_MIN); }, printed(INT_MIN)},
      {"zero is one digit", [](stream_out& o) { o.put_int(0); }, "0"},
      {"numbers follow text without a separator",
       [](stream_out& o) {
         o.put_chars("x=");
         o.put_int(7);
         o.put_char(' ');
         o.put_double(0.25);
       },
       "x=7 0.2500"},
  };
  const fs::path dir = fs::path(testing::TempDir()) / "xrdf_io_number_writing";
  fs::create_directories(dir);
  for (const auto& r : rows) {
    string_out text;
    r.write(text);
    EXPECT_EQ(std::string(text.text()), r.expected) << "in memory: " << r.what;

    const std::string path = (dir / "numbers.txt").string();
    {
      file_out file(path.c_str());
      r.write(file);
      ASSERT_TRUE(file.commit()) << r.what;
    }
    EXPECT_EQ(file_contents(path), r.expected) << "in a file: " << r.what;
  }
  fs::remove_all(dir);
}

}  // namespace
