#pragma once

#include <string>

// Where the template file is found, in this order:
//   1. the path given on the command line (--template PATH);
//   2. the environment variable XRDFOURIER_TEMPLATE;
//   3. the one-word file "template" in the current directory, whose first
//      word is the path;
//   4. resources/xrdfourier.tpl next to the executable, or in the source tree.
void set_template_path(const std::string& path);
std::string locate_template_file();
// The directory of the located template file, with a trailing '/' ("" for
// the current directory).
std::string template_directory();
// True when the located file can be opened for reading.
bool template_file_readable(std::string& path);
