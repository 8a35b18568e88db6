#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/my_string.h"
#include "io/string_in.h"

namespace {

std::vector<std::string> all_words(stream_in& in) {
  std::vector<std::string> words;
  for (std::string w = in.read_word(); !w.empty(); w = in.read_word()) words.push_back(w);
  return words;
}

TEST(read_word, separates_words_and_skips_comments_only_in_comment_mode) {
  const struct {
    const char* what;
    const char* text;
    bool comments;
    std::vector<std::string> words;
  } rows[] = {
      {"a nested comment is skipped whole", "abc /* x /* y */ z */ def", true, {"abc", "def"}},
      {"comments are data without comment mode", "a /* x */ b", false, {"a", "/*", "x", "*/", "b"}},
      {"a slash inside a word is data", "a/b", true, {"a/b"}},
      {"a lone slash is a word", "/ x", true, {"/", "x"}},
      {"an apostrophe line is skipped", "'note\nkey", true, {"key"}},
      {"an apostrophe inside a word is data", "don't", true, {"don't"}},
      {"comments in a row are all skipped", "/* a */ 'x y\n\t/* b */ c", true, {"c"}},
      {"the star of the opening does not close", "/*/ x */ y", true, {"y"}},
      {"an unterminated comment ends the input", "a /* b c", true, {"a"}},
      {"tab, newline and byte 255 separate", "a\tb\nc\377d", false, {"a", "b", "c", "d"}},
      {"a carriage return is no separator", "a\rb", false, {"a\rb"}}};
  for (const auto& r : rows) {
    string_in in(r.text);
    in.set_comment_mode(r.comments);
    EXPECT_EQ(all_words(in), r.words) << r.what;
  }
}

TEST(read_word, keeps_the_head_of_an_overlong_word_and_stays_on_a_word_boundary) {
  const std::string text = std::string(2500, 'w') + " next";
  string_in in(text.c_str());
  EXPECT_EQ(std::string(in.read_word()), std::string(stream_in::max_word, 'w'));
  EXPECT_STREQ(in.read_word(), "next");
}

TEST(find_word, looks_for_a_word_held_in_the_shared_buffer) {
  string_in in("key a key b");
  EXPECT_EQ(in.find_word(in.read_word()), 1);
  EXPECT_STREQ(in.read_word(), "b");
  EXPECT_EQ(in.find_word("key"), 0);
  EXPECT_TRUE(in.at_end());
}

TEST(read_line, hands_out_every_line_and_skips_an_overlong_one_whole_saying_so) {
  string_in in("one\n\nthree");
  std::vector<std::string> lines;
  for (my_string line; in.read_line(line);) lines.push_back(line.c_str());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "three"})) << "the last one needs no newline";
  const std::string text = std::string(stream_in::max_line, 'x') + "x\nnext";
  string_in longer(text.c_str());
  my_string line("previous");
  EXPECT_FALSE(longer.read_line(line));
  EXPECT_TRUE(line.is_empty());
  EXPECT_STREQ(longer.error_text.c_str(), "string_in: line too long\n");
  ASSERT_TRUE(longer.read_line(line));
  EXPECT_STREQ(line.c_str(), "next");
}

TEST(conversions, read_words_as_the_runtime_does) {
  string_in in("2.5 abc 12x 3.9\r 1e300 ~ ~x");
  EXPECT_DOUBLE_EQ(in.read_double(), 2.5);
  EXPECT_EQ(in.read_long(), 0);
  EXPECT_EQ(in.read_long(), 12);
  EXPECT_FLOAT_EQ(in.read_float(), 3.9f);
  EXPECT_TRUE(std::isinf(in.read_float()));
  my_string s("old");
  in.read_text_token(s);
  EXPECT_TRUE(s.is_empty());
  in.read_text_token(s);
  EXPECT_STREQ(s.c_str(), "~x");
  EXPECT_EQ(in.read_double(), 0.0);
  // A project's text value ending in a carriage return was saved with it,
  // and the next reading took it for the line's end: the value changed.
  string_in crs("path\r\r a\rb ~\r");
  crs.read_text_token(s);
  EXPECT_STREQ(s.c_str(), "path");
  crs.read_text_token(s);
  EXPECT_STREQ(s.c_str(), "a\rb") << "one inside the word stays";
  crs.read_text_token(s);
  EXPECT_TRUE(s.is_empty()) << "the empty text's tilde, before a line end";
}

TEST(string_in, keeps_its_position_inside_the_text) {
  string_in in("0123456789");
  in.unget();
  EXPECT_EQ(in.position(), 0);
  in.set_position(1000);
  EXPECT_EQ(in.position(), 10);
  EXPECT_TRUE(in.at_end());
  EXPECT_EQ(in.get(), 0);
}

}  // namespace
