#pragma once

#include <string>
#include <string_view>

// The text of a TXT file as a text window shows it, and how its lines end on
// disk. A window holds lines ended by a line feed; a file keeps the line ends
// it came with, so that a file saved unchanged is the same file, byte for
// byte. New documents take this system's line feed.
enum class line_end { lf, cr_lf };

struct text_file_content {
  std::string text;  // lines ended by '\n'
  line_end ends = line_end::lf;
};

// Reads a whole file. A CR LF pair becomes one line feed; a carriage return
// on its own is an ordinary character. The file's line ends are those of its
// first line. False, with `why` naming the file and the reason, when it
// cannot be read.
bool read_text_file(const std::string& path, text_file_content& content, std::string& why);

// The text as the file holds it: every line feed written as `ends` says.
std::string text_on_disk(std::string_view text, line_end ends);

// Writes the text as the file holds it, replacing the file only once all of
// it is written: a failure leaves the old file as it was. False, with `why`
// naming the file and the reason, when it cannot be written.
bool write_text_file(const std::string& path, std::string_view text, line_end ends, std::string& why);
