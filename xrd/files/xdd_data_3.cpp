#include "xrd/files/xdd_data_3.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/error_message.h"
#include "core/path_and_name_3.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_out.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/abscissa_check.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/point_list_reader.h"
#include "xrd/files/text_scan_check.h"

namespace {

// Numbers that read back exactly: four decimals alone would turn a
// recomputed step such as 1/60 into 0.0167, and the file read back would
// then count a different number of points than it holds.
template <class T>
std::string exact_text(T x) {
  return exact_number_text(x);
}

// A written number read back as the reader reads it.
bool number_value_of(const std::string& text, double& value) {
  const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// The step of a saved file. The reader counts the points from the ends and
// the step, then divides the span again so that the last point lies on the
// grid: a step such as 0.02 comes back as 0.020000000000000004. The
// shortest text that gives the reader the same count and the same step, and
// that a person reads as the step itself (to 1e-9 of it, so 1/60 is not
// shown as 0.02), is written; only when none does is every digit kept.
std::string step_text(double x1, double xd, double x2, int n) {
  for (int precision = 1; precision <= 17; ++precision) {
    char text[40];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, xd, std::chars_format::general, precision);
    if (r.ec != std::errc()) break;
    const std::string written(text, r.ptr);
    x1_xd_x2_3 axis;
    axis.x1 = x1;
    axis.x2 = x2;
    if (!number_value_of(written, axis.xd) || !(std::fabs(axis.xd - xd) <= 1e-9 * xd) || !check_abscissa(axis))
      continue;
    if (axis.n == n && axis.xd == xd) return written;
  }
  return exact_text(xd);
}

bool same_ignoring_case(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

// The entry of the extension table for `ext`: the table is configuration,
// and a file named in capitals is the same kind of file.
assoc_class* extension_entry(const char* ext) {
  assoc_class* table = query_object("win_misc c exts_load");
  if (!table) return nullptr;
  my_string lower(ext);
  lower.to_lower();
  if (assoc_class* e = table->find_child(lower.c_str())) return e;
  for (int i = 0; i < table->child_count(); ++i)
    if (assoc_class* e = table->child(i); e && same_ignoring_case(e->class_name(), ext)) return e;
  return nullptr;
}

// A complete number in the files' decimal form (sign, digits, point,
// exponent) with nothing after it. The runtime would also take "nan", "inf" or a
// hexadecimal number, and read the "12" of "12abc"; none of those is data.
// A number text of the data files, read in one pass: false when `text` is
// not one. from_chars and strtod both round correctly, so they agree where
// both read a text whole; the few forms from_chars does not take (a leading
// '+', a value beyond the double range) go to strtod.
bool number_value(const char* text, double& value) {
  if (!text || !*text) return false;
  const char* end = text;
  for (; *end; ++end)
    if (!is_number_char(*end) && *end != 'e' && *end != 'E') return false;
  const std::from_chars_result r = std::from_chars(text, end, value);
  if (r.ec == std::errc() && r.ptr == end) return true;
  char* stop = nullptr;
  value = std::strtod(text, &stop);
  return stop != text && *stop == '\0';
}

// An ordinate: a number, or one of the C library's words for the values that
// are none. A count beyond the float range reads as an infinity and a
// computed curve may hold one, which a save writes as "inf" or "nan": the
// file must load again. (The abscissa takes numbers only.)
bool ordinate_value(const char* text, double& value) {
  const char* word = text + (*text == '+' || *text == '-');
  if (strcasecmp(word, "inf") == 0 || strcasecmp(word, "infinity") == 0 || strcasecmp(word, "nan") == 0) {
    value = std::strtod(text, nullptr);
    return true;
  }
  return number_value(text, value);
}

// The first line of a saved file. The XDD reader takes a first line that
// starts like a number for data and skips a blank one, so such a comment (a
// CPI file's first line may be either) follows the word Comment: written
// as it is, the saved file could not be loaded again.
// Carriage returns at its end are left out: the reader takes the last one
// with the line feed for a line end, so each save and load would lose one.
// The line breaks inside it (a sample name of several lines) become blanks:
// kept, they would push the numbers down and the file would not load again.
// So do other control bytes and a byte order mark at its start (a binary
// header read as a comment), which would make the saved file look binary
// or wide text when it is loaded.
std::string comment_line(const my_string& comment) {
  std::string text = comment.c_str();
  while (!text.empty() && text.back() == '\r') text.pop_back();
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  // The first word starts past the separators (0xFF among them), and a
  // mark found there would start the saved file once they are dropped.
  std::size_t first = 0;
  for (;;) {
    bool marked = false;
    for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
      if (text.compare(first, mark.size(), mark) == 0) {
        text.replace(first, mark.size(), mark.size(), ' ');
        marked = true;
      }
    const std::size_t at = first;
    while (first < text.size() && is_separator(text[first])) ++first;
    if (!marked && first == at) break;
  }
  if (first == text.size()) return "Comment";
  if (is_number_char(text[first])) return "Comment " + text;
  // The reader drops the blanks before a comment's first word.
  return text.substr(first);
}

// The text of a refused token as the message shows it: quoted, and cut short
// so that a line of garbage does not flood the message.
std::string quoted_token(const char* text) {
  constexpr std::size_t longest = 40;
  std::string t(text ? text : "");
  if (t.size() > longest) t = t.substr(0, longest) + "...";
  return "\"" + t + "\"";
}

}  // namespace

std::unique_ptr<assoc_class> xdd_data_3::clone_empty() const { return clone_like(*this); }

void xdd_data_3::copy_from(assoc_class& source) {
  if (&source == this) return;
  if (auto* other = dynamic_cast<xdd_data_3*>(&source)) comment = other->comment;
  assoc_class::copy_from(source);
}

xy_data_3* xdd_data_3::profile() { return dynamic_cast<xy_data_3*>(yobs_.get(*this)); }

assoc_class* xdd_data_3::path_node() { return path_.get(*this); }

const char* xdd_data_3::path() {
  assoc_class* p = path_node();
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

assoc_class* xdd_data_3::time_node(bool create) { return time_.get(*this, create); }

assoc_class* xdd_data_3::wavelength_node(bool create) { return lambda_.get(*this, create); }

assoc_class* xdd_data_3::execute_with(assoc_class* path_source) {
  // The text may live in the node that is about to be set.
  my_string wanted;
  if (path_source) {
    const char* text = path_source->get_text();
    wanted.assign(text ? text : "");
    if (assoc_class* p = path_node(); p && p != path_source) p->set_text(wanted.c_str());
  } else {
    wanted.assign(path());
  }
  if (!dispatch(wanted.c_str())) {
    global_error_message().append("yes");
    return nullptr;
  }
  if (xy_data_3* p = profile()) p->profile_changed();
  return this;
}

bool xdd_data_3::dispatch(const char* file_path) {
  // A file that is not loaded is always said why: a silent refusal looks
  // like a program that ignored the user.
  if (!file_path || !*file_path) {
    global_error_message().append("No file name: Cannot open file");
    show_error(this);
    return false;
  }
  std::error_code ignored;
  if (std::filesystem::is_directory(file_path, ignored)) {
    global_error_message().append(file_path).append(": is a folder, not a data file");
    show_error(this);
    return false;
  }
  my_string ext;
  const my_string title = file_title(file_path);
  const char* dot = std::strrchr(title.c_str(), '.');
  ext.assign(dot ? dot + 1 : "");
  assoc_class* entry = extension_entry(ext.c_str());
  if (!entry || !entry->first_child()) {
    global_error_message().append("No reader for the file type of ").append(file_path);
    show_error(this);
    return false;
  }
  const my_string reader_name = entry->first_child()->class_name();
  load_notes.clear();

  auto file = std::make_unique<file_in>(file_path, false);
  if (!file->open_or_report(this)) return false;
  assoc_class* reader = find(*this, reader_name.c_str());
  if (!reader || reader == this) return false;
  const auto* list_reader = dynamic_cast<const point_list_reader*>(reader);
  const bool binary = list_reader && list_reader->reads_binary();
  // Said before any reader sees it: a text reader would take an empty file
  // for a scan of zero step and a binary one for a text with a bad number.
  const std::string why =
      binary ? why_too_large_for_a_scan(file->size()) : why_not_a_text_scan(file_path, file->size());
  if (!why.empty()) {
    global_error_message().append("Error loading file ").append(file_path).append("\n").append(why.c_str());
    show_error(this);
    return false;
  }
  // Data files have no comments: an apostrophe or a slash is data there.
  file->set_comment_mode(false);
  input_ = std::move(file);

  scans_in_file_ = 1;
  scan = scan_facts{};
  // The stream goes with the load, whatever the reader does.
  struct closer {
    std::unique_ptr<file_in>& input;
    ~closer() { input.reset(); }
  } close_input{input_};

  // A reader answers with the data node it filled; any other object that the
  // table might name answers with something else and loads nothing.
  wavelength_from_ = wavelength_source::file;
  if (reader->execute_with(this) != this) return false;
  // A layout of one scan only: a later scan asked for is not there.
  if (refused_scan(scans_in_file_)) return false;
  warn_own_wavelength_kept();
  return true;
}

bool xdd_data_3::write_xdd() {
  const my_string target = path();
  xy_data_3* p = profile();
  // A profile without points would make a file that no reader accepts, in
  // place of whatever file was there.
  if (target.is_empty() || !p || p->n < 1 || p->y.count() == 0) {
    global_error_message().append(target.is_empty() ? "No file name" : target.c_str());
    global_error_message().append(": Cannot save file");
    show_error();
    return false;
  }
  // A folder of that name would take the temporary file beside it and then
  // refuse the rename: it is not even opened.
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(target.c_str(), ignored);
  file_out out(target.c_str(), !folder, file_out::write_mode::replace_on_commit);
  // Said the same way whether the file could not be opened or stopped part-way:
  // the cause is what the user can act on.
  auto cannot_write = [&] {
    global_error_message().append(target.c_str());
    global_error_message().append(": Cannot write file: ");
    global_error_message().append(why_not_writable(target.c_str(), out.error_number()).c_str());
    show_error();
    return false;
  };
  if (!out.is_open()) return cannot_write();
  out.put_chars(comment_line(comment).c_str());
  out.new_line();
  for (const std::string& v : {exact_text(p->x1), step_text(p->x1, p->xd, p->x2, p->n), exact_text(p->x2)}) {
    out.put_chars(v.c_str());
    out.new_line();
  }
  // Count time and wavelength are optional for the writer: a file read
  // from a layout without them still saves.
  if (assoc_class* t = time_node(false))
    out.put_chars(exact_text(t->get_double()).c_str());
  else
    out.put_int(1);
  out.new_line();
  out.put_chars("1");
  out.new_line();
  if (assoc_class* l = wavelength_node(false))
    out.put_chars(exact_text(l->get_double()).c_str());
  else
    out.put_int(1);
  out.new_line();
  const int first = p->y.base();
  for (int i = 0; i < p->n; ++i) {
    const float v = i < p->y.count() ? p->y[first + i] : 0.0f;
    out.put_chars(exact_text(v).c_str());
    out.new_line();
  }
  if (out.commit()) {
    never_written_ = false;
    return true;
  }
  return cannot_write();
}

xdd_data_3* xdd_data_3::of(assoc_class* argument) {
  if (!argument) return nullptr;
  if (auto* d = dynamic_cast<xdd_data_3*>(argument)) return d;
  return dynamic_cast<xdd_data_3*>(argument->find_child("xdd_data"));
}

const char* xdd_data_3::loading_path() { return input_ ? input_->file_name() : path(); }

void xdd_data_3::report_load_error(const char* detail) {
  my_string& message = global_error_message();
  message.append("Error loading file ");
  message.append(loading_path());
  if (detail) message.append(detail);
  show_error();
}

void xdd_data_3::read_comment(stream_in& in) {
  my_string line;
  if (in.read_line(line)) comment = line;
}

xdd_data_3* xdd_data_3::start_reading(assoc_class* argument) {
  xdd_data_3* data = of(argument);
  if (!data) return nullptr;
  if (!data->input()) {
    data->report_load_error("\nThe file is not open for reading");
    return nullptr;
  }
  if (!data->profile()) {
    data->report_load_error("\nThe data file has no profile to fill");
    return nullptr;
  }
  return data;
}

my_string xdd_data_3::number_word(stream_in& in) {
  my_string word(in.read_word());
  const char* t = word.c_str();
  const char* comma = std::strchr(t, ',');
  if (comma && !std::strchr(t, '.') && !std::strchr(comma + 1, ',')) word.replace_char(',', '.');
  return word;
}

void xdd_data_3::refuse_number(int position, const char* text) {
  // The stream counts characters, not lines: the line is counted on a second
  // reading of the file, which only a refusal needs.
  int line = 1;
  file_in again(loading_path());
  for (int i = 0; i < position && again.is_open() && !again.at_end(); ++i)
    if (again.get() == '\n') ++line;
  const std::string detail = "\nLine " + std::to_string(line) + ": " + quoted_token(text) + " is not a number";
  report_load_error(detail.c_str());
}

bool xdd_data_3::read_number(stream_in& in, double& x) {
  const int position = in.read_position();
  const my_string word = number_word(in);
  if (word.is_empty()) {
    x = 0.0;  // the end of the file
    return true;
  }
  if (!number_value(word.c_str(), x)) {
    refuse_number(position, word.c_str());
    return false;
  }
  return true;
}

int xdd_data_3::read_ordinates(stream_in& in, int n, float_vec& values) {
  values.allocate(n);
  values.rebase(0);
  constexpr double top = std::numeric_limits<float>::max();
  int held = 0;
  for (; held < n; ++held) {
    const int position = in.read_position();
    const my_string word = number_word(in);
    if (word.is_empty()) break;  // the end of the file: the rest stay 0
    double v;
    if (!ordinate_value(word.c_str(), v)) {
      refuse_number(position, word.c_str());
      return -1;
    }
    // A double beyond the float range would be undefined to convert.
    values[held] = v > top    ? std::numeric_limits<float>::infinity()
                   : v < -top ? -std::numeric_limits<float>::infinity()
                              : static_cast<float>(v);
  }
  return held;
}

bool xdd_data_3::accept(const x1_xd_x2_3& axis, float_vec& values, int held) {
  xy_data_3* p = profile();
  if (!p) return false;
  p->x1 = axis.x1;
  p->x2 = axis.x2;
  p->xd = axis.xd;
  p->n = axis.n;
  p->y = values;
  p->y.rebase(0);
  // A scan has a stepped abscissa, whatever the profile held before.
  p->options.clear(xy_data_3::explicit_x);
  p->profile_changed();
  if (held < axis.n) {
    my_string& message = global_error_message();
    message.append("File ");
    message.append(loading_path());
    message.append(" holds only ");
    message.append(held);
    message.append(" of ");
    message.append(axis.n);
    message.append(" points; the missing points read as 0.");
    show_error();
  }
  return true;
}

thread_local int xdd_data_3::wanted_scan_ = 1;

std::string xdd_data_3::read_all(stream_in& in) {
  // A file not yet read from comes in blocks, each CR LF made one LF as get
  // makes it: a file of a thousand scans is read whole for each of them.
  if (auto* file = dynamic_cast<file_in*>(&in); file && file->position() == 0 && !file->pushed_back()) {
    std::string text = file->read_bytes(max_file_bytes);
    std::size_t kept = text.find('\r');
    if (kept == std::string::npos) return text;
    for (std::size_t i = kept; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[kept++] = text[i];
    text.resize(kept);
    return text;
  }
  // A file that grew past any scan's size after it was opened stops there.
  std::string text;
  while (!in.at_end() && static_cast<long long>(text.size()) <= max_file_bytes) text.push_back(in.get());
  return text;
}

std::string xdd_data_3::read_all_bytes() { return input_ ? input_->read_bytes(max_file_bytes) : std::string(); }

bool xdd_data_3::refused_scan(int count) {
  const int wanted = scan_choice::wanted();
  if (wanted >= 1 && wanted <= count) return false;
  const std::string detail = "\nThe file holds " + std::to_string(count) + (count == 1 ? " scan" : " scans") +
                             "; there is no scan " + std::to_string(wanted);
  report_load_error(detail.c_str());
  return true;
}

bool xdd_data_3::pick_scan(int count, int& index, scan_points& scan) {
  scans_in_file_ = count;
  if (refused_scan(count)) return false;
  const int wanted = scan_choice::wanted();
  index = wanted - 1;
  this->scan.index = wanted;
  this->scan.count = count;
  if (count > 1)
    scan.notes.push_back("scan " + std::to_string(wanted) + " of " + std::to_string(count) + "; " +
                         std::to_string(count - 1) + (count == 2 ? " other" : " others") + " in the file");
  return true;
}

bool xdd_data_3::accept_points(scan_points& scan) {
  const std::size_t notes_before = scan.notes.size();
  x1_xd_x2_3 axis;
  float_vec values;
  if (std::string why; !to_even_step(scan, axis, values, why)) {
    report_load_error(("\n" + why).c_str());
    return false;
  }
  if (!scan.count_time.empty())
    if (assoc_class* t = time_node(true)) t->set_text(scan.count_time.c_str());
  std::string lambda = scan.wavelength;
  wavelength_from_ = wavelength_source::file;
  if (lambda.empty() && !given_text_.empty()) {
    lambda = given_text_;
    wavelength_from_ = wavelength_source::given;
    scan.notes.push_back(given_wavelength_note(lambda, given_how_));
  } else if (lambda.empty()) {
    const char* configured = query_value("win_misc c default_wavelength");
    lambda = configured && *configured ? configured : "1.5406";
    wavelength_from_ = wavelength_source::assumed;
    scan.notes.push_back(assumed_wavelength_note(lambda));
  }
  if (assoc_class* l = wavelength_node(true)) l->set_text(lambda.c_str());
  // Only what was given is kept for a project: a default is taken again.
  const bool given = wavelength_from_ == wavelength_source::given;
  if (assoc_class* g = given_.get(*this, true)) g->set_text(given ? lambda.c_str() : "0");
  // A project keeps a text value as one word.
  std::string how = given ? given_how_ : "";
  std::replace(how.begin(), how.end(), ' ', '_');
  if (assoc_class* by = given_by_.get(*this, true)) by->set_text(how.c_str());
  comment.assign(scan.full_description().c_str());
  this->scan.name = scan.name;
  this->scan.start_time = scan.start_time;
  this->scan.temperature_C = scan.temperature_C;
  load_notes.assign(scan.notes.begin() + static_cast<std::ptrdiff_t>(notes_before), scan.notes.end());
  return accept(axis, values, axis.n);
}

thread_local std::string xdd_data_3::given_text_;
thread_local std::string xdd_data_3::given_how_;

xdd_data_3::wavelength_choice::wavelength_choice(std::string text, std::string how)
    : previous_text_(std::move(given_text_)), previous_how_(std::move(given_how_)) {
  given_text_ = std::move(text);
  given_how_ = std::move(how);
}

xdd_data_3::wavelength_choice::~wavelength_choice() {
  given_text_ = std::move(previous_text_);
  given_how_ = std::move(previous_how_);
}

std::string xdd_data_3::wavelength_refused(const std::string& text) {
  double value = 0.0;
  if (!number_value(text.c_str(), value) || !std::isfinite(value))
    return "the wavelength \"" + text + "\" is not a number";
  if (!(value > 0.1 && value < 10.0))
    return "the wavelength " + text + " is not between 0.1 and 10 Å";
  return "";
}

std::string xdd_data_3::assumed_wavelength_note(const std::string& text) {
  return "wavelength not in the file: " + text + " Å assumed";
}

std::string xdd_data_3::given_wavelength_note(const std::string& text, const std::string& how) {
  return "wavelength not in the file: " + text + " Å given" + (how.empty() ? "" : " " + how);
}

void xdd_data_3::use_wavelength(const std::string& text, wavelength_source from, const std::string& note) {
  if (assoc_class* l = wavelength_node(true)) l->set_text(text.c_str());
  wavelength_from_ = from;
  const std::string said = "wavelength not in the file: ";
  for (std::string& n : load_notes)
    if (n.starts_with(said)) {
      std::string line = comment.c_str();
      if (const std::size_t at = line.find(n); at != std::string::npos) {
        line.replace(at, n.size(), note);
        comment.assign(line.c_str());
      }
      n = note;
      return;
    }
  load_notes.push_back(note);
}

bool xdd_data_3::take_recorded_wavelength() {
  if (wavelength_from_ == wavelength_source::file) return false;
  assoc_class* g = given_.get(*this, false);
  const char* text = g ? g->get_text() : nullptr;
  if (!text || !wavelength_refused(text).empty()) return false;
  assoc_class* by = given_by_.get(*this, false);
  const char* kept = by ? by->get_text() : nullptr;
  std::string how = kept ? kept : "";
  std::replace(how.begin(), how.end(), '_', ' ');
  const std::string value = text;
  use_wavelength(value, wavelength_source::given, given_wavelength_note(value, how));
  return true;
}

void xdd_data_3::warn_own_wavelength_kept() {
  if (given_text_.empty() || wavelength_from_ != wavelength_source::file) return;
  assoc_class* l = wavelength_node(false);
  const char* own = l ? l->get_text() : nullptr;
  if (!own || std::fabs(std::strtod(own, nullptr) - std::strtod(given_text_.c_str(), nullptr)) <= 1e-9) return;
  // The file's own word stands; that the one given was not taken must not
  // pass unsaid.
  global_error_message()
      .append(loading_path())
      .append(": the file's own wavelength, ")
      .append(own)
      .append(" Å, is kept; the ")
      .append(given_text_.c_str())
      .append(" Å given is for files without one");
  show_error(this);
}
