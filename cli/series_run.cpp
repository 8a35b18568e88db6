#include "cli/series_run.h"

#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_out.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// What one scan gave: how many scans its file holds (as its load found),
// whether it failed, and its row without the index cell, which only the
// whole series knows.
struct scan_result {
  int count = 1;
  bool failed = false;
  std::string line;
  // How its worker ended before it was done, when it did.
  std::string ended;
};

// --- the inputs ---

// Whether Load Data has a reader for files named so (the template's table
// of extensions, in any case).
bool has_reader(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  if (ext.size() < 2) return false;
  ext.erase(0, 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  assoc_class* table = query_object("win_misc c exts_load");
  if (!table) return false;
  for (int i = 0; i < table->child_count(); ++i) {
    std::string name = table->child(i)->class_name();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == ext) return true;
  }
  return false;
}

// The data files the inputs name: a file as it is (a missing one is the
// failed row of its scan), a folder as its data files sorted by name.
// False (said) when a folder holds none or cannot be read.
bool data_files(const std::vector<std::string>& inputs, std::vector<std::string>& files, std::ostream& err) {
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (!std::filesystem::is_directory(input, ec)) {
      files.push_back(input);
      continue;
    }
    std::vector<std::string> found;
    for (std::filesystem::directory_iterator it(input, ec), end; !ec && it != end; it.increment(ec))
      if (std::error_code kind; it->is_regular_file(kind) && has_reader(it->path())) found.push_back(it->path().string());
    if (ec) {
      err << input << ": Cannot read the folder: " << ec.message() << '\n';
      return false;
    }
    if (found.empty()) {
      err << input << ": the folder holds no data file of a type Load Data reads\n";
      return false;
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return true;
}

// --- one scan ---

// For the life of the object, what is written on `stream` goes to `to`:
// the session's messages during a scan belong to its row.
class redirected_stream {
 public:
  redirected_stream(std::ostream& stream, std::ostream& to) : stream_(stream), previous_(stream.rdbuf(to.rdbuf())) {}
  ~redirected_stream() { stream_.rdbuf(previous_); }
  redirected_stream(const redirected_stream&) = delete;
  redirected_stream& operator=(const redirected_stream&) = delete;

 private:
  std::ostream& stream_;
  std::streambuf* previous_;
};

// Messages of several lines as one cell: lines joined by "; ".
std::string one_line(const std::string& text) {
  std::string out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty()) continue;
    if (!out.empty()) out += "; ";
    out += line;
  }
  return out;
}

std::string temperature_text(double celsius) {
  return std::isfinite(celsius) ? format_number("%.6g", celsius) : std::string();
}

scan_result do_scan(application_session& session, series_job& job, std::size_t columns, const series_scan& scan,
                    std::ostream& err) {
  std::ostringstream said;
  series_row row;
  {
    const redirected_stream quiet(err, said);
    try {
      row = job.row(session, scan);
    } catch (const std::exception& e) {
      // A numerical stage that gives up ends this scan, not the series.
      said << scan.path << ": " << e.what() << '\n';
      row.failed = true;
    }
  }
  std::string warning = one_line(said.str() + '\n' + row.warning);
  if (row.failed && warning.empty()) warning = scan.path + ": the scan gave no result";
  row.cells.resize(std::max(row.cells.size(), columns));
  scan_result result;
  result.count = std::max(row.facts.count, 1);
  result.failed = row.failed;
  std::string& line = result.line;
  line = csv_cell(scan.path) + ',' + std::to_string(scan.scan) + ',' + csv_cell(row.facts.name) + ',' +
         csv_cell(row.facts.start_time) + ',' + temperature_text(row.facts.temperature_C);
  for (const std::string& cell : row.cells) line += ',' + csv_cell(cell);
  line += ',' + csv_cell(warning) + '\n';
  return result;
}

// How many scans the file at `path` holds, from its first scan loaded and
// taken out again; 1 when it cannot be loaded (its row will say why).
scan_result count_scans(application_session& session, const std::string& path, std::ostream& err) {
  std::ostringstream said;
  const redirected_stream quiet(err, said);
  scan_result result;
  try {
    const xdd_data_3::scan_choice first(1);
    if (assoc_class* file = session.load_file(path)) {
      if (const auto* data = dynamic_cast<const xdd_data_3*>(find_existing(*file, "xdd_data")))
        result.count = std::max(data->scan.count, 1);
      session.unload_file(file);
    }
  } catch (const std::exception&) {
    // Counted as one scan: its row gives the cause.
  }
  return result;
}

// --- the workers ---

// A frame on a worker's pipe: the task's number, the file's scan count,
// whether it failed, the length of the row, then the row.
struct frame_head {
  std::uint32_t task;
  std::int32_t count;
  std::uint32_t failed;
  std::uint32_t length;
};

bool write_all(int fd, const char* bytes, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, bytes, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    bytes += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool send_result(int fd, std::size_t task, const scan_result& r) {
  const frame_head head{static_cast<std::uint32_t>(task), r.count, r.failed ? 1u : 0u,
                        static_cast<std::uint32_t>(r.line.size())};
  std::string bytes(reinterpret_cast<const char*>(&head), sizeof head);
  bytes += r.line;
  return write_all(fd, bytes.data(), bytes.size());
}

std::string how_it_ended(int status) {
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    const char* name = ::strsignal(signal);
    return "killed by signal " + std::to_string(signal) + (name ? std::string(" (") + name + ")" : std::string());
  }
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status)) + " before its scans were done";
  return "it stopped before its scans were done";
}

struct worker {
  pid_t pid = -1;
  int fd = -1;
  std::size_t next_task = 0;  // its next task to be heard of
  std::string buffer;
};

using task_runner = std::function<scan_result(std::size_t task)>;
using result_sink = std::function<void(std::size_t task, scan_result result)>;

// Runs tasks 0..count-1, each on one of `jobs` worker processes forked from
// this one (the prepared session goes with them), round robin, and hands
// their results to `sink` in task order as they come. A worker that ends
// before its tasks are done has each left failed, saying how it ended.
void run_on_workers(std::size_t count, int jobs, const task_runner& run, const result_sink& sink,
                    std::ostream& out, std::ostream& err) {
  if (count == 0) return;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
  if (n == 1) {
    for (std::size_t t = 0; t < count; ++t) sink(t, run(t));
    return;
  }
  out.flush();
  err.flush();
  std::cout.flush();
  std::cerr.flush();
  std::vector<worker> workers(n);
  for (std::size_t w = 0; w < n; ++w) {
    workers[w].next_task = w;
    int ends[2];
    if (::pipe(ends) != 0) break;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(ends[0]);
      for (std::size_t o = 0; o < w; ++o) ::close(workers[o].fd);
      bool sent = true;
      for (std::size_t t = w; t < count && sent; t += n) sent = send_result(ends[1], t, run(t));
      ::close(ends[1]);
      ::_exit(sent ? 0 : 1);
    }
    ::close(ends[1]);
    if (pid < 0) {
      ::close(ends[0]);
      break;
    }
    workers[w].pid = pid;
    workers[w].fd = ends[0];
  }

  std::map<std::size_t, scan_result> waiting;
  std::size_t next = 0;
  auto pass_on = [&] {
    for (auto it = waiting.begin(); it != waiting.end() && it->first == next; it = waiting.erase(it), ++next)
      sink(it->first, std::move(it->second));
  };
  auto left_undone = [&](worker& w, const std::string& why) {
    for (std::size_t t = w.next_task; t < count; t += n) {
      scan_result undone;
      undone.failed = true;
      undone.ended = why;
      waiting.emplace(t, std::move(undone));
    }
    w.next_task = count;
  };
  for (worker& w : workers)
    if (w.pid < 0) left_undone(w, "the worker process could not be started: " + std::string(std::strerror(errno)));
  pass_on();

  char chunk[1 << 16];
  for (;;) {
    std::vector<pollfd> polled;
    std::vector<worker*> of;
    for (worker& w : workers)
      if (w.fd >= 0) {
        polled.push_back({w.fd, POLLIN, 0});
        of.push_back(&w);
      }
    if (polled.empty()) break;
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (std::size_t i = 0; i < polled.size(); ++i) {
      if (polled[i].revents == 0) continue;
      worker& w = *of[i];
      const ssize_t got = ::read(w.fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got > 0) {
        w.buffer.append(chunk, static_cast<std::size_t>(got));
        std::size_t at = 0;
        while (w.buffer.size() - at >= sizeof(frame_head)) {
          frame_head head{};
          std::memcpy(&head, w.buffer.data() + at, sizeof head);
          if (w.buffer.size() - at - sizeof head < head.length) break;
          scan_result r;
          r.count = head.count;
          r.failed = head.failed != 0;
          r.line.assign(w.buffer, at + sizeof head, head.length);
          at += sizeof head + head.length;
          waiting.emplace(head.task, std::move(r));
          w.next_task = head.task + n;
        }
        w.buffer.erase(0, at);
        pass_on();
        continue;
      }
      // The end of its pipe: the worker has ended, or is ending.
      ::close(w.fd);
      w.fd = -1;
      int status = 0;
      while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
      }
      w.pid = -1;
      if (w.next_task < count) left_undone(w, "the worker process ended: " + how_it_ended(status));
      pass_on();
    }
  }
  // Not reached while any pipe is open; here only when poll itself failed.
  for (worker& w : workers) {
    if (w.fd >= 0) ::close(w.fd);
    if (w.pid > 0) {
      int status = 0;
      ::kill(w.pid, SIGKILL);
      ::waitpid(w.pid, &status, 0);
      left_undone(w, "the worker process was stopped: the run could not wait for it");
    }
  }
  pass_on();
}

// --- progress ---

// "scan 412 of 1000, 2.1 s left", rewritten in place on a terminal, at most
// ten times a second; nothing where standard error is a file or a pipe.
class progress_line {
 public:
  explicit progress_line(std::ostream& err)
      : err_(err), shown_(err.rdbuf() == std::cerr.rdbuf() && ::isatty(STDERR_FILENO)) {}
  ~progress_line() { clear(); }
  progress_line(const progress_line&) = delete;
  progress_line& operator=(const progress_line&) = delete;

  void set_total(std::size_t total) { total_ = total; }
  void done_one() {
    ++done_;
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100) && done_ < total_) return;
    last_ = now;
    const double spent = std::chrono::duration<double>(now - start_).count();
    std::string text = "scan " + std::to_string(done_) + " of " + std::to_string(std::max(total_, done_));
    if (total_ > done_)
      text += ", " + format_number("%.1f", spent / static_cast<double>(done_) * static_cast<double>(total_ - done_)) +
              " s left";
    err_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ') << std::flush;
    width_ = text.size();
  }
  void clear() {
    if (!shown_ || width_ == 0) return;
    err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    width_ = 0;
  }

 private:
  std::ostream& err_;
  bool shown_;
  std::size_t total_ = 0;
  std::size_t done_ = 0;
  std::size_t width_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

// --- the table ---

// Where the rows go: the output stream, or a new file renamed over OUT once
// all of it is written.
class table_writer {
 public:
  table_writer(const std::string& path, std::ostream& out) : path_(path), out_(out) {
    if (!path_.empty()) {
      std::error_code ignored;
      const bool folder = std::filesystem::is_directory(path_, ignored);
      file_ = std::make_unique<file_out>(path_.c_str(), !folder, file_out::write_mode::replace_on_commit);
    }
  }
  void write(const std::string& text) {
    if (file_)
      file_->put_chars(text.c_str());
    else
      out_ << text;
  }
  // False (said) when the file could not be written whole.
  bool finish(std::ostream& err) {
    if (!file_) return true;
    if (file_->is_open() && file_->commit()) return true;
    err << path_ << ": Cannot write file: " << why_not_writable(path_, file_->error_number()) << '\n';
    return false;
  }

 private:
  std::string path_;
  std::ostream& out_;
  std::unique_ptr<file_out> file_;
};

// One scan of the series: its index, its file (by number) and its scan
// there, and where its row comes from.
struct slot {
  std::size_t index;
  std::size_t file;
  int scan;
  bool first_pass;   // its row was made while the files' scans were counted
  std::size_t task;  // otherwise, its task in the second pass
};

}  // namespace

int run_series(application_session& session, series_job& job, const series_options& options, std::ostream& out,
               std::ostream& err) {
  const int shards = std::max(options.shard_count, 1);
  const int shard = std::clamp(options.shard, 1, shards);
  const int jobs = options.jobs > 0 ? options.jobs : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  std::vector<std::string> files;
  if (!data_files(options.inputs, files, err)) return 1;
  if (!job.prepare(session, err)) return 1;
  const std::size_t columns = job.columns().size();
  // A worker's message of a scan it never finished, as the scan's row.
  auto ended_row = [&](const series_scan& scan, scan_result& r) {
    if (r.ended.empty()) return;
    r.line = csv_cell(scan.path) + ',' + std::to_string(scan.scan) + ",,," + std::string(columns + 1, ',') +
             csv_cell(scan.path + ": " + r.ended) + '\n';
  };

  // Each file's first scan, made into its row where every row is this
  // run's, else only loaded: either way it tells how many scans the file
  // holds, and a file is not read twice for it.
  progress_line progress(err);
  progress.set_total(files.size());
  const bool whole = shards == 1;
  std::vector<scan_result> first(files.size());
  run_on_workers(
      files.size(), jobs,
      [&](std::size_t f) {
        return whole ? do_scan(session, job, columns, {files[f], 1}, err) : count_scans(session, files[f], err);
      },
      [&](std::size_t f, scan_result r) {
        ended_row({files[f], 1}, r);
        first[f] = std::move(r);
        if (whole) progress.done_one();
      },
      out, err);

  std::vector<slot> slots;
  std::vector<series_scan> second;
  std::size_t index = 0;
  for (std::size_t f = 0; f < files.size(); ++f)
    for (int s = 1; s <= first[f].count; ++s) {
      if (static_cast<int>(index++ % static_cast<std::size_t>(shards)) != shard - 1) continue;
      const bool made = whole && s == 1;
      slots.push_back({index, f, s, made, made ? 0 : second.size()});
      if (!made) second.push_back({files[f], s});
    }
  progress.set_total(slots.size());

  table_writer table(options.output, out);
  if (shard == 1) {
    std::string header = "index,file,scan,name,start_time,temperature_C";
    for (const std::string& c : job.columns()) header += ',' + csv_cell(c);
    table.write(header + ",warning\n");
  }
  std::size_t failed = 0;
  std::size_t written = 0;
  std::vector<scan_result> made(second.size());
  std::size_t heard = 0;  // the second pass's tasks heard of, in order
  auto write_ready = [&] {
    for (; written < slots.size(); ++written) {
      const slot& s = slots[written];
      if (!s.first_pass && s.task >= heard) return;
      scan_result& r = s.first_pass ? first[s.file] : made[s.task];
      if (r.failed) ++failed;
      table.write(std::to_string(s.index) + ',' + r.line);
      // Written rows are not kept: a long series streams through.
      std::string().swap(r.line);
    }
  };
  write_ready();
  run_on_workers(
      second.size(), jobs, [&](std::size_t t) { return do_scan(session, job, columns, second[t], err); },
      [&](std::size_t t, scan_result r) {
        ended_row(second[t], r);
        made[t] = std::move(r);
        heard = t + 1;
        progress.done_one();
        write_ready();
      },
      out, err);
  write_ready();
  progress.clear();

  int status = table.finish(err) ? 0 : 1;
  if (failed > 0) {
    err << failed << " of " << slots.size() << " scans failed; the warning column says why\n";
    status = 1;
  }
  return status;
}
