#include "cli/series_run.h"

#include <poll.h>
#include <sched.h>
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
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/platform/replacing_file.h"
#include "app/shell/application_session.h"
#include "app/shell/series_job.h"
#include "app/shell/series_rows.h"

namespace {

// What one scan gave (see series_rows::scan_line), or how its worker
// ended before it was done.
struct scan_result {
  int count = 1;
  bool failed = false;
  std::string line;
  std::string ended;
};

scan_result result_of(series_rows::scan_line line) { return {line.count, line.failed, std::move(line.text), {}}; }

// --- the workers ---

// The cores this process may run on: on a cluster's node, those its job
// was given rather than all the node has.
int cores_to_run_on() {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) return CPU_COUNT(&allowed);
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

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
  std::string not_started;
  for (std::size_t w = 0; w < n; ++w) {
    workers[w].next_task = w;
    int ends[2];
    if (::pipe(ends) != 0) {
      not_started = std::strerror(errno);
      break;
    }
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
      not_started = std::strerror(errno);
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
    if (w.pid < 0) left_undone(w, "the worker process could not be started: " + not_started);
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
    if (total_ > done_) {
      std::ostringstream left;
      left << std::fixed << std::setprecision(1)
           << spent / static_cast<double>(done_) * static_cast<double>(total_ - done_);
      text += ", " + left.str() + " s left";
    }
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
  table_writer(const std::string& path, std::ostream& out) : out_(out) {
    if (!path.empty()) file_ = std::make_unique<replacing_file>(path);
  }
  void write(const std::string& text) {
    if (file_)
      file_->write(text);
    else
      out_ << text;
  }
  // False (said) when the file could not be written whole.
  bool finish(std::ostream& err) {
    std::string why;
    if (!file_ || file_->commit(why)) return true;
    err << why << '\n';
    return false;
  }

 private:
  std::ostream& out_;
  std::unique_ptr<replacing_file> file_;
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
  const int jobs = options.jobs > 0 ? options.jobs : cores_to_run_on();
  std::vector<std::string> files;
  if (!series_rows::data_files(options.inputs, options.output, files, err)) return 1;
  if (!job.prepare(session, err)) return 1;
  const std::size_t columns = job.columns().size();
  // A worker's message of a scan it never finished, as the scan's row.
  auto ended_row = [&](const series_scan& scan, scan_result& r) {
    if (!r.ended.empty()) r.line = series_rows::undone_row(scan, columns, r.ended);
  };

  table_writer table(options.output, out);
  if (shard == 1) table.write(series_rows::header(job.columns()));
  std::size_t failed = 0;
  std::size_t scans = 0;  // this run's
  auto write_row = [&](std::size_t index, scan_result& r) {
    ++scans;
    if (r.failed) ++failed;
    table.write(std::to_string(index) + ',' + r.line);
    // Written rows are not kept: a long series streams through.
    std::string().swap(r.line);
  };

  // Each file's first scan, made into its row where every row is this
  // run's, else only loaded: either way it tells how many scans the file
  // holds, and a file is not read twice for it. While every file so far
  // holds one scan (a folder of them), the rows go out as they come.
  progress_line progress(err);
  progress.set_total(files.size());
  const bool whole = shards == 1;
  std::vector<scan_result> first(files.size());
  std::vector<bool> written_first(files.size(), false);
  bool in_order = whole;
  std::size_t index = 0;
  run_on_workers(
      files.size(), jobs,
      [&](std::size_t f) {
        if (whole) return result_of(series_rows::row(session, job, {files[f], 1}, err));
        scan_result counted;
        counted.count = series_rows::scan_count(session, files[f], err);
        return counted;
      },
      [&](std::size_t f, scan_result r) {
        ended_row({files[f], 1}, r);
        first[f] = std::move(r);
        if (!whole) return;
        progress.done_one();
        if (!in_order) return;
        write_row(++index, first[f]);
        written_first[f] = true;
        in_order = first[f].count == 1;
      },
      out, err);

  // The rest of the series, in index order: the second pass makes the rows
  // not made yet.
  std::vector<slot> slots;
  std::vector<series_scan> second;
  index = 0;
  for (std::size_t f = 0; f < files.size(); ++f)
    for (int s = 1; s <= first[f].count; ++s) {
      if (static_cast<int>(index++ % static_cast<std::size_t>(shards)) != shard - 1) continue;
      if (s == 1 && written_first[f]) continue;
      const bool made = whole && s == 1;
      slots.push_back({index, f, s, made, made ? 0 : second.size()});
      if (!made) second.push_back({files[f], s});
    }
  progress.set_total(scans + slots.size());

  std::size_t written = 0;
  std::vector<scan_result> made(second.size());
  std::size_t heard = 0;  // the second pass's tasks heard of, in order
  auto write_ready = [&] {
    for (; written < slots.size(); ++written) {
      const slot& s = slots[written];
      if (!s.first_pass && s.task >= heard) return;
      write_row(s.index, s.first_pass ? first[s.file] : made[s.task]);
    }
  };
  write_ready();
  run_on_workers(
      second.size(), jobs, [&](std::size_t t) { return result_of(series_rows::row(session, job, second[t], err)); },
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
    err << failed << " of " << scans << " scans failed; the warning column says why\n";
    status = 1;
  }
  return status;
}
