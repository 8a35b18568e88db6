#include "app/batch/batch_tool.h"

#include <string>
#include <vector>

#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/platform/headless_platform.h"
#include "app/shell/hint_text_3.h"
#include "app/platform/platform.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "template/template_file.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// Message boxes become lines on the error stream; a question cannot be
// answered in a batch and counts as "no".
class batch_platform : public headless_platform {
 public:
  explicit batch_platform(std::ostream& err) : err_(err) {}
  void message(platform_types::box_kind, const std::string&, const std::string& text) override {
    err_ << text << '\n';
  }
  bool ask_yes_no(const std::string&, const std::string& text) override {
    err_ << text << " (answered no)\n";
    return false;
  }

 private:
  std::ostream& err_;
};

class stream_reporter : public error_reporter {
 public:
  explicit stream_reporter(std::ostream& err) : err_(err) {}
  void report(const char*, const char* text) override { err_ << text << '\n'; }

 private:
  std::ostream& err_;
};

struct arguments {
  std::string template_path;
  std::string command;
  std::vector<std::string> files;
  bool help = false;
};

int usage_error(std::ostream& err, const std::string& why) {
  err << "xrdfourier-cli: " << why << "\n\n" << batch_usage();
  return 2;
}

// Installs the batch platform and reporter for the life of a run.
struct batch_environment {
  batch_environment(std::ostream& err) : platform_(err), reporter_(err) {
    previous_platform_ = set_platform(&platform_);
    previous_reporter_ = set_error_reporter(&reporter_);
  }
  ~batch_environment() {
    set_error_reporter(previous_reporter_);
    set_platform(previous_platform_);
  }
  batch_platform platform_;
  stream_reporter reporter_;
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};

bool save_as_xdd(assoc_class& file, const std::string& output) {
  assoc_class* path = find_existing(file, "xDdd_path_name");
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"));
  if (!path || !data) return false;
  path->set_text(output.c_str());
  return data->write_xdd();
}

}  // namespace

const char* batch_usage() {
  return "Usage: xrdfourier-cli [--template PATH] COMMAND ARGUMENTS\n"
         "\n"
         "Commands:\n"
         "  info FILE...           Load each data file (XDD or CPI) as Load Data does and print\n"
         "                         one line per loaded file: its path, abscissa (first x, step,\n"
         "                         last x), number of points, count time and wavelength.\n"
         "  convert INPUT OUTPUT   Load INPUT and write it in the XDD layout to OUTPUT.\n"
         "\n"
         "Options:\n"
         "  --template PATH        Read the template file PATH instead of the default.\n"
         "  --help                 Show this text.\n"
         "\n"
         "Messages go to standard error. Exit status: 0 when every file loaded and every\n"
         "output was written, 1 when any did not, 2 for a usage error.\n";
}

int run_batch_tool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  arguments args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      args.help = true;
    } else if (a == "--template") {
      if (i + 1 >= argc) return usage_error(err, "--template needs a path");
      args.template_path = argv[++i];
    } else if (args.command.empty() && !a.empty() && a[0] == '-') {
      return usage_error(err, "unknown option " + a);
    } else if (args.command.empty()) {
      args.command = a;
    } else {
      args.files.push_back(a);
    }
  }
  if (args.help) {
    out << batch_usage();
    return 0;
  }
  if (args.command.empty()) return usage_error(err, "no command given");
  if (args.command == "info") {
    if (args.files.empty()) return usage_error(err, "info needs at least one file");
  } else if (args.command == "convert") {
    if (args.files.size() != 2) return usage_error(err, "convert needs an input and an output file");
  } else {
    return usage_error(err, "unknown command " + args.command);
  }

  if (!args.template_path.empty()) set_template_path(args.template_path);
  std::string template_path;
  if (!template_file_readable(template_path)) {
    err << missing_template_message(template_path) << '\n';
    return 1;
  }

  batch_environment environment(err);
  application_session session;
  if (!session.app()) {
    err << "The template file " << template_path << " defines no application object.\n";
    return 1;
  }
  int status = 0;
  if (args.command == "info") {
    for (const std::string& file : args.files) {
      assoc_class* loaded = session.load_file(file);
      if (!loaded) {
        status = 1;
        continue;
      }
      out << describe_data_file(*loaded) << '\n';
    }
  } else {
    assoc_class* loaded = session.load_file(args.files[0]);
    if (!loaded) return 1;
    if (!save_as_xdd(*loaded, args.files[1])) {
      show_error();
      return 1;
    }
  }
  return status;
}
