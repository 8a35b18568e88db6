#pragma once

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/assoc_class.h"
#include "core/cached_ref.h"
#include "core/my_string.h"
#include "io/file_in.h"
#include "numerics/fft_3.h"
#include "numerics/x1_xd_x2_3.h"

class xy_data_3;
struct scan_points;

// Loads and saves the scan of one data file. It finds the other members of
// the file (the observed profile "xy_yobs", the path "xDdd_path_name", the
// count time "tBime" and the wavelength "lBambda") by name from its place in
// the tree. Which reader reads a file is configuration: the extension table
// "win_misc c exts_load" of the outside records names the reader object.
class xdd_data_3 : public assoc_class {
 public:
  const char* class_name() const override { return "xdd_data"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  void copy_from(assoc_class& source) override;

  // The load request: `path_node`'s text is the path to load (null: the
  // path held in "xDdd_path_name"). This node on success; null on failure,
  // with "yes" appended to the global error message, unshown, so that the
  // script that asked can tell.
  assoc_class* execute_with(assoc_class* path_node) override;
  // Loads from the path held in "xDdd_path_name".
  assoc_class* execute() override { return execute_with(nullptr); }

  // Chooses the reader by the extension of `path` and runs it on the open
  // file. True when the reader filled this node; otherwise the user has been
  // told why (no file name, a folder, no reader for the extension, a file
  // that cannot be opened, or the reader's refusal).
  bool dispatch(const char* path);
  // Writes the XDD layout at the path held in "xDdd_path_name", whatever
  // layout the data came from. The file is replaced only once it is
  // complete; a failure is reported, with the reason the file cannot be
  // written, and leaves any old file as it was.
  bool write_xdd();

  // For the readers, while a load runs: the open file, else null.
  stream_in* input() { return input_.get(); }
  // The observed profile, or null when the tree has none.
  xy_data_3* profile();
  // The path node, or null.
  assoc_class* path_node();
  // The path text, "" when there is none.
  const char* path();
  // The count time and the wavelength, made from the template when `create`
  // and it declares them; null otherwise.
  assoc_class* time_node(bool create);
  assoc_class* wavelength_node(bool create);

  // What the readers share. The data node a reader was handed: the node
  // itself, or the "xdd_data" child of a data file's node; null otherwise.
  static xdd_data_3* of(assoc_class* argument);
  // The data node a reader was given, when it has an open input and a
  // profile to fill; otherwise the load error is reported and null returned.
  static xdd_data_3* start_reading(assoc_class* argument);
  // The path being loaded, for messages.
  const char* loading_path();
  // Shows "Error loading file " and the path, then `detail` (which starts
  // with a line end and says why).
  void report_load_error(const char* detail = nullptr);
  // Reads the first line as the comment. A line too long to keep is skipped
  // whole, so that its tail is not taken for numbers, and the comment stays.
  void read_comment(stream_in& in);
  // The next token as number text: a decimal comma (as some instruments
  // write, "1,5406") reads as a decimal point.
  static my_string number_word(stream_in& in);
  // The next token as a number into `x`; the end of the file reads as 0, as
  // a short file does. Text that is not a number is refused, not read as 0:
  // false, with the load error reported, saying the line and the text.
  bool read_number(stream_in& in, double& x);
  // Reads up to n ordinates into `values` (sized n, the missing ones 0) and
  // answers how many the file held; -1, with the load error reported, when
  // one of them is not a number.
  int read_ordinates(stream_in& in, int n, float_vec& values);
  // Hands a complete scan to the profile. A file that held fewer than n
  // ordinates still loads, with a warning saying so.
  bool accept(const x1_xd_x2_3& axis, float_vec& values, int held);

  // The readers of point lists (text columns, XRDML, RAS): the whole file
  // as it is, bytes unchanged.
  static std::string read_all(stream_in& in);
  // The readers of binary layouts: the open file's bytes, not one changed.
  std::string read_all_bytes();
  // For a file of `count` scans: the index (from 0) of the scan to load, the
  // one asked by `scan_choice` (the first unless asked), with a note on the
  // others. False, with the load error reported, when there is no such scan.
  bool pick_scan(int count, int& index, scan_points& scan);
  // Hands a point list to the profile at an even step (see to_even_step),
  // with its count time, its wavelength (the configured default when the
  // file has none, and the description says so) and its description as the
  // comment. False, with the load error reported, when it cannot be one.
  bool accept_points(scan_points& scan);

  // Which scan of a file of several the loads of this thread read, counted
  // from 1; set for the life of one object (the batch tool's --scan).
  class scan_choice {
   public:
    explicit scan_choice(int k) : previous_(wanted_scan_) { wanted_scan_ = k; }
    ~scan_choice() { wanted_scan_ = previous_; }
    scan_choice(const scan_choice&) = delete;
    scan_choice& operator=(const scan_choice&) = delete;
    static int wanted() { return wanted_scan_; }

   private:
    int previous_;
  };

  // The wavelength the loads of this thread give a file that has none of
  // its own, for the life of one object (the batch tool's --wavelength, a
  // Load Data option): its text as given (Angstrom) and how it was given,
  // said in the file's note ("with --wavelength"). A file with its own
  // wavelength keeps it.
  class wavelength_choice {
   public:
    wavelength_choice(std::string text, std::string how);
    ~wavelength_choice();
    wavelength_choice(const wavelength_choice&) = delete;
    wavelength_choice& operator=(const wavelength_choice&) = delete;

   private:
    std::string previous_text_;
    std::string previous_how_;
  };
  // Why `text` cannot be a wavelength given for files without one (a
  // number of Angstrom between 0.1 and 10, ends excluded); "" when it can.
  static std::string wavelength_refused(const std::string& text);

  // Where the wavelength of the last load came from.
  enum class wavelength_source { file, assumed, given };
  wavelength_source wavelength_from() const { return wavelength_from_; }
  // The note of a file without a wavelength: "wavelength not in the file:
  // 1.5406 Å assumed", or "... given " followed by how.
  static std::string assumed_wavelength_note(const std::string& text);
  static std::string given_wavelength_note(const std::string& text, const std::string& how);
  // A project reopened: the file had been given the wavelength its record
  // keeps ("gBiven_lambda", "gBiven_by"); a file still without one of its
  // own takes it again, with its note. False when there is nothing to take.
  bool take_recorded_wavelength();

  // Which scan of its file the last load read (from 1, of `count`), and
  // what the file says of it (see scan_points): the row of a series.
  struct scan_facts {
    int index = 1;
    int count = 1;
    std::string name;
    std::string start_time;
    double temperature_C = std::numeric_limits<double>::quiet_NaN();
  };
  scan_facts scan;

  // The first line of the file, without its line end.
  my_string comment;
  // What the last load took that the file did not say, which a person
  // reading its numbers must know: the default wavelength, a resampling
  // onto an even step. Empty for a file read as written.
  std::vector<std::string> load_notes;

  // A file made in the program (a captured curve) exists only in memory
  // until it is written; a project may not name it before.
  void mark_never_written() { never_written_ = true; }
  bool never_written() const { return never_written_; }

 private:
  // The next token, which starts at `position`, is not a number: reports it
  // with its line.
  void refuse_number(int position, const char* text);
  // Whether the scan asked for is not among the file's `count`: then said.
  bool refused_scan(int count);

  std::unique_ptr<file_in> input_;
  bool never_written_ = false;
  // How many scans the file being loaded holds, as its reader found.
  int scans_in_file_ = 1;
  static thread_local int wanted_scan_;
  wavelength_source wavelength_from_ = wavelength_source::file;
  // A wavelength was given, but the file has its own, another: said.
  void warn_own_wavelength_kept();
  // Sets the wavelength text and its note in place of the one before.
  void use_wavelength(const std::string& text, wavelength_source from, const std::string& note);
  static thread_local std::string given_text_;
  static thread_local std::string given_how_;
  cached_ref yobs_{"xy_yobs"};
  cached_ref path_{"xDdd_path_name"};
  cached_ref time_{"tBime"};
  cached_ref lambda_{"lBambda"};
  // What was given, kept in a project with the file's other settings.
  cached_ref given_{"gBiven_lambda"};
  cached_ref given_by_{"gBiven_by"};
};
