#include "cli/batch_tool.h"

#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "cli/command_table.h"
#include "cli/null_platform.h"

namespace {

int usage_error(std::ostream& err, const std::string& why) {
  err << "xrdfourier-cli: " << why << "\n\n" << batch_usage();
  return 2;
}

// Reads the command line into `args`. 0 when a command can run, else the
// exit status of a usage error (the usage has been written to `err`).
int parse_arguments(int argc, const char* const* argv, arguments& args, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const option_row* option = a.size() > 1 && a[0] == '-' ? option_named(a) : nullptr;
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (option && option->global) {
      if (const std::string why = option->read(value, args); !why.empty()) return usage_error(err, why);
    } else if (args.command.empty() && !a.empty() && a[0] == '-') {
      return usage_error(err, "unknown option " + a);
    } else if (a.size() > 1 && a[0] == '-') {
      if (!option) return usage_error(err, "unknown option " + a);
      if (const std::string why = option->read(value, args); !why.empty()) return usage_error(err, why);
      args.options.push_back(option->names.front());
    } else if (args.command.empty()) {
      args.command = a;
    } else {
      args.files.push_back(a);
    }
  }
  if (args.help || args.version) return 0;
  if (args.command.empty()) return usage_error(err, "no command given");
  const command_row* c = command_named(args.command);
  if (!c) return usage_error(err, "unknown command " + args.command);
  const int count = static_cast<int>(args.files.size());
  if (count < c->min_files || (c->max_files >= 0 && count > c->max_files)) return usage_error(err, c->wrong_count);
  for (const std::string& o : args.options)
    if (std::find(c->options.begin(), c->options.end(), o) == c->options.end())
      return usage_error(err, args.command + " does not take " + o);
  if (c->check)
    if (const std::string why = c->check(args, *c); !why.empty()) return usage_error(err, why);
  args.analysis.files = args.files;
  return 0;
}

// The file a command writes, "" for standard output.
std::string output_of(const arguments& args, const command_row& command) {
  return command.writes_last_file ? args.files.back() : args.analysis.output;
}

// The files a command reads that are named on its command line.
std::vector<std::string> inputs_of(const arguments& args, const command_row& command) {
  const analysis_request& r = args.analysis;
  std::vector<std::string> inputs = args.files;
  if (command.writes_last_file) inputs.pop_back();
  if (!r.reference.empty()) inputs.push_back(r.reference);
  for (const auto& [sample, reference] : r.pairs) {
    inputs.push_back(sample);
    inputs.push_back(reference);
  }
  return inputs;
}

// Sets a signal to be ignored for the life of the object.
class ignored_signal {
 public:
  explicit ignored_signal(int signal) : signal_(signal) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    set_ = ::sigaction(signal_, &ignore, &previous_) == 0;
  }
  ~ignored_signal() {
    if (set_) ::sigaction(signal_, &previous_, nullptr);
  }
  ignored_signal(const ignored_signal&) = delete;
  ignored_signal& operator=(const ignored_signal&) = delete;

 private:
  int signal_;
  struct sigaction previous_ {};
  bool set_ = false;
};

}  // namespace

const char* batch_usage() { return usage_text().c_str(); }

std::string version_text() {
  return std::string("xrdfourier-cli ") + XRDF_VERSION + "\ntransform: " + application_session::transform_path() + "\n";
}

int run_batch_tool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  arguments args;
  if (const int refused = parse_arguments(argc, argv, args, err)) return refused;
  if (args.help) {
    out << batch_usage();
    return 0;
  }
  if (args.version) {
    out << version_text();
    return 0;
  }
  const command_row& command = *command_named(args.command);
  if (command.refuse)
    if (const std::string why = command.refuse(args); !why.empty()) {
      err << why << '\n';
      return 1;
    }
  if (const std::string why = output_onto_input(output_of(args, command), inputs_of(args, command)); !why.empty()) {
    err << why << '\n';
    return 1;
  }
  // Past a file-size limit the system would end the process in the middle
  // of a save, leaving its temporary file: ignored, the write fails with
  // "File too large" like any other, is said, and cleaned up.
  const ignored_signal file_too_large(SIGXFSZ);

  std::string template_path;
  if (std::string why; !template_ready(args.template_path, template_path, why)) {
    err << why << '\n';
    return 1;
  }

  null_platform screen(err);
  const front_end_scope scope(screen, err);
  application_session session;
  if (!session.app()) {
    err << "The template file " << template_path << " defines no application object.\n";
    return 1;
  }
  session.give_wavelength(args.wavelength, "with --wavelength");
  return run_batch_command([&] { return command.run(session, args, out, err); }, err);
}

int run_batch_command(const std::function<int()>& command, std::ostream& err) {
  return application_session::run_guarded(command, err);
}
