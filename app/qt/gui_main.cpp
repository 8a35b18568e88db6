// xrdfourier: the workbench.
#include <iostream>

#include <QApplication>

#include "app/qt/workbench_start.h"

int main(int argc, char** argv) {
  workbench_options options;
  const std::string why = read_workbench_options(argc, argv, options);
  if (options.help) {
    std::cout << workbench_usage();
    return 0;
  }
  if (!why.empty()) {
    std::cerr << "xrdfourier: " << why << "\n\n" << workbench_usage();
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setOrganizationName("xrdfourier");
  QApplication::setApplicationName("xrdfourier");
  return run_workbench(options);
}
