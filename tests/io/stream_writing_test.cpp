#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/my_string.h"
#include "core/stream_copy.h"
#include "io/string_in.h"
#include "io/string_out.h"

namespace {

TEST(string_out, writes_each_kind_as_projects_expect) {
  std::string digits;
  for (int i = 0; i < 900; ++i) digits += static_cast<char>('0' + i % 10);
  const struct {
    const char* what;
    std::function<void(stream_out&)> write;
    std::string expected;
  } rows[] = {
      {"a double has four decimals", [](stream_out& o) { o.put_double(2.5); }, "2.5000"},
      {"an int is plain decimal", [](stream_out& o) { o.put_int(-3); }, "-3"},
      {"crlf mode ends lines in CR LF", [](stream_out& o) { o.set_crlf_mode(); o.new_line(); }, "\r\n"},
      {"the empty token is a tilde", [](stream_out& o) { o.write_text_token(my_string()); }, "~"},
      {"text grows over many steps intact", [](stream_out& o) { for (int i = 0; i < 900; ++i) o.put_int(i % 10); },
       digits}};
  for (const auto& r : rows) {
    string_out out;
    r.write(out);
    EXPECT_EQ(std::string(out.text()), r.expected) << r.what;
    EXPECT_EQ(out.length(), static_cast<int>(r.expected.size())) << r.what;
  }
}

TEST(string_out, set_length_cuts_and_pads_so_later_text_stays_visible) {
  string_out out;
  out.put_chars("abcdef");
  out.set_length(3);
  EXPECT_STREQ(out.text(), "abc");
  out.set_length(5);
  out.put_char('!');
  EXPECT_STREQ(out.text(), "abc  !");
  out.set_length(0);
  EXPECT_STREQ(out.text(), "");
  EXPECT_EQ(out.length(), 0);
}

auto until_any(const char* delimiters, int mode) {
  return [=](stream_out& o, stream_in& i) { return copy_until_any(o, i, delimiters, mode); };
}
auto until_char(char ch, int mode) {
  return [=](stream_out& o, stream_in& i) { return copy_until_char(o, i, ch, mode); };
}

TEST(stream_copy, copies_up_to_the_delimiter_and_leaves_the_rest) {
  const struct {
    const char* what;
    const char* text;
    std::function<int(stream_out&, stream_in&)> copy;
    int result;
    const char* copied;
    const char* rest;  // the next word left in the input
  } rows[] = {
      {"words are joined by one blank", "alpha   beta; g", until_any(";", copy_mode::consume), 1, "alpha beta", "g"},
      {"a blank before the delimiter stays", "alpha beta ; g", until_any(";", copy_mode::consume), 1, "alpha beta ",
       "g"},
      {"the delimiter can be copied", "a b}c", until_any("};", copy_mode::copy), 1, "a b}", "c"},
      {"the delimiter can be left", "a\nb;c", until_any(";", copy_mode::leave), 1, "a b", ";c"},
      {"no delimiter copies to the end", "a b", until_any(";", copy_mode::consume), 0, "a b", ""},
      {"chars are copied as they come", " x  y|z", until_char('|', copy_mode::consume), 1, " x  y", "z"},
      {"a char can be left", "ab|z", until_char('|', copy_mode::leave), 1, "ab", "|z"},
      {"one word is copied", "  one two", [](stream_out& o, stream_in& i) { return copy_word(o, i); }, 3, "one",
       "two"}};
  for (const auto& r : rows) {
    string_in in(r.text);
    string_out out;
    EXPECT_EQ(r.copy(out, in), r.result) << r.what;
    EXPECT_STREQ(out.text(), r.copied) << r.what;
    EXPECT_STREQ(in.read_word(), r.rest) << r.what;
  }
  string_in commented("a /* note */ b 'aside\n c;");
  commented.set_comment_mode(true);
  string_out out;
  EXPECT_EQ(copy_until_any(out, commented, ";", copy_mode::consume), 1);
  EXPECT_STREQ(out.text(), "a b c") << "comments between words are skipped in comment mode";
}

}  // namespace
