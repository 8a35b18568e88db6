#pragma once

#include <functional>
#include <ostream>
#include <string>

// The batch tool: the workbench's jobs without a window. Writes results to
// `out` and the program's own messages (what a message box would show) to
// `err`. Answers the exit status: 0 when every file loaded and every output
// was written, 1 when a file or value was refused, 2 for a usage error.
int run_batch_tool(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Runs one command of the batch tool and answers its status; a numerical
// stage that gives up (numeric_abort) ends it with its message on `err` and
// the status 1.
int run_batch_command(const std::function<int()>& command, std::ostream& err);

// The usage text of --help.
const char* batch_usage();

// The text of --version: the program's version and the implementation of the
// transform it runs on this processor, so that timings can be compared.
std::string version_text();
