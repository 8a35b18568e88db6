#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines and words of the text layouts of scans (text columns, RAS),
// read as bytes: header values in other encodings pass through unread.

// The lines of `text` without their line ends (LF or CR LF).
std::vector<std::string_view> text_lines(std::string_view text);
// `text` without blanks (spaces, tabs, line ends) at either end.
std::string_view trimmed(std::string_view text);
// The words of `line` (or of a text of several lines) between runs of blanks.
std::vector<std::string_view> blank_separated(std::string_view line);
// The same into `words`, whose room a reader of many lines keeps.
void blank_separated(std::string_view line, std::vector<std::string_view>& words);
// `line` cut at each `separator`, each piece trimmed.
std::vector<std::string_view> cut_at(std::string_view line, char separator);
void cut_at(std::string_view line, char separator, std::vector<std::string_view>& pieces);
// A whole word as a number: sign, digits, point, exponent, nothing else;
// with `decimal_comma` a comma reads as the point. False for anything
// else, "nan" and "inf" included.
bool number_in(std::string_view word, double& value, bool decimal_comma = false);
// `word` as the messages quote it: in quotes, cut short when long.
std::string quoted(std::string_view word);
// The 1-based line of the byte at `offset` of `text`.
int line_at(std::string_view text, std::size_t offset);
