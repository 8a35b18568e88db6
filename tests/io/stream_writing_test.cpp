#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "core/my_string.h"
#include "core/stream_copy.h"
#include "io/string_in.h"
#include "io/string_out.h"

namespace {

struct write_case {
  const char* name;
  std::function<void(stream_out&)> write;
  std::string expected;
};
void PrintTo(const write_case& c, std::ostream* os) { *os << c.name; }

class writing : public testing::TestWithParam<write_case> {};

TEST_P(writing, produces_the_expected_text) {
  string_out out;
  GetParam().write(out);
  EXPECT_EQ(std::string(out.text()), GetParam().expected);
  EXPECT_EQ(out.length(), static_cast<int>(GetParam().expected.size()));
}

std::string digits(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + i % 10);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    text, writing,
    testing::Values(
        write_case{"double_has_four_decimals", [](stream_out& o) { o.put_double(2.5); }, "2.5000"},
        write_case{"tiny_negative_keeps_its_sign", [](stream_out& o) { o.put_double(-0.00004); }, "-0.0000"},
        write_case{"int_is_plain_decimal", [](stream_out& o) { o.put_int(-3); }, "-3"},
        write_case{"large_double_is_written_whole", [](stream_out& o) { o.put_double(1e20); },
                   "100000000000000000000.0000"},
        write_case{"crlf_mode_ends_lines_in_cr_lf", [](stream_out& o) { o.set_crlf_mode(); o.new_line(); }, "\r\n"},
        write_case{"empty_token_is_a_tilde", [](stream_out& o) { o.write_text_token(my_string()); }, "~"},
        write_case{"text_grows_over_many_steps_intact",
                   [](stream_out& o) { for (int i = 0; i < 900; ++i) o.put_int(i % 10); }, digits(900)}),
    testing::PrintToStringParamName());

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

struct copy_case {
  const char* name;
  const char* text;
  std::function<int(stream_out&, stream_in&)> copy;
  int result;
  const char* copied;
  const char* rest;  // the next word left in the input
};
void PrintTo(const copy_case& c, std::ostream* os) { *os << c.name; }

class copying : public testing::TestWithParam<copy_case> {};

TEST_P(copying, copies_and_leaves_the_expected_text) {
  string_in in(GetParam().text);
  string_out out;
  EXPECT_EQ(GetParam().copy(out, in), GetParam().result);
  EXPECT_STREQ(out.text(), GetParam().copied);
  EXPECT_STREQ(in.read_word(), GetParam().rest);
}

auto until_any(const char* delimiters, int mode) {
  return [=](stream_out& o, stream_in& i) { return copy_until_any(o, i, delimiters, mode); };
}
auto until_char(char ch, int mode) {
  return [=](stream_out& o, stream_in& i) { return copy_until_char(o, i, ch, mode); };
}

INSTANTIATE_TEST_SUITE_P(
    text, copying,
    testing::Values(
        copy_case{"words_are_joined_by_one_blank", "alpha   beta; g", until_any(";", copy_mode::consume), 1,
                  "alpha beta", "g"},
        copy_case{"blank_before_the_delimiter_stays", "alpha beta ; g", until_any(";", copy_mode::consume), 1,
                  "alpha beta ", "g"},
        copy_case{"delimiter_can_be_copied", "a b}c", until_any("};", copy_mode::copy), 1, "a b}", "c"},
        copy_case{"delimiter_can_be_left", "a\nb;c", until_any(";", copy_mode::leave), 1, "a b", ";c"},
        copy_case{"no_delimiter_copies_to_the_end", "a b", until_any(";", copy_mode::consume), 0, "a b", ""},
        copy_case{"chars_are_copied_as_they_come", " x  y|z", until_char('|', copy_mode::consume), 1, " x  y", "z"},
        copy_case{"char_can_be_left", "ab|z", until_char('|', copy_mode::leave), 1, "ab", "|z"},
        copy_case{"one_word_is_copied", "  one two", [](stream_out& o, stream_in& i) { return copy_word(o, i); }, 3,
                  "one", "two"}),
    testing::PrintToStringParamName());

TEST(copy_until_any, skips_comments_between_words_in_comment_mode) {
  string_in in("a /* note */ b 'aside\n c;");
  in.set_comment_mode(true);
  string_out out;
  EXPECT_EQ(copy_until_any(out, in, ";", copy_mode::consume), 1);
  EXPECT_STREQ(out.text(), "a b c");
}

}  // namespace
