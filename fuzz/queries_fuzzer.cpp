// Feeds bytes to the outside-records loader and then asks queries of what it
// loaded. The input is the records text; after its first NUL byte, each line
// is a query. An input without a NUL is asked the queries the program asks.

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "core/paths.h"
#include "fuzz_support.h"

namespace {

const char* const program_queries[] = {"app_name", "win_misc c commands", "win_misc c enablers",
                                       "win_misc c root_directory", "win_misc c exts_load",
                                       "win_misc c file_colors", "win_misc c cpt_exts c xdd",
                                       "win_misc c plot_type_opts c yobs", "win_misc c on_change_of_plot_obj c yobs",
                                       "win_misc c not_to_copy_on_capture", "def_prj_ext", "def_prj_ext_star"};

void ask(const char* query) {
  query_object(query);
  query_value(query);
  outside_value(query);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare();
  install_template_side();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = fuzz::text_of(data, size);
  const std::size_t split = input.find('\0');
  const std::string records = input.substr(0, split);
  string_in in(records.c_str());
  in.set_comment_mode(true);
  replace_outside_records(in);
  if (split == std::string::npos) {
    for (const char* q : program_queries) ask(q);
  } else {
    std::istringstream lines(input.substr(split + 1));
    for (std::string line; std::getline(lines, line);) ask(line.c_str());
  }
  global_error_message().assign("");
  return 0;
}
