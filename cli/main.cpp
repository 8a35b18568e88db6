// xrdfourier-cli: the batch tool.
#include <iostream>

#include "cli/batch_tool.h"

int main(int argc, char** argv) { return run_batch_tool(argc, argv, std::cout, std::cerr); }
