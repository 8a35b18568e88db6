// xrdfourier-cli: the batch tool.
#include <iostream>

#include "app/batch/batch_tool.h"

int main(int argc, char** argv) { return run_batch_tool(argc, argv, std::cout, std::cerr); }
