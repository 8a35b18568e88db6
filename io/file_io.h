#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "core/error_class.h"
#include "core/my_string.h"

class assoc_class;

// The file side of a file stream: its name, its open mode and the open
// handle, which is closed when the stream goes.
class file_io : public virtual error_class {
 public:
  file_io(const char* name, const char* mode);
  file_io(const file_io&) = delete;
  file_io& operator=(const file_io&) = delete;
  ~file_io() override;

  // Opens the named file; 1 on success, 0 with "<name>: Cannot open file"
  // added to the error text, followed by the reason when it is more than a
  // missing file ("...: it is a FIFO, not a regular file"). An open file is
  // closed first.
  int open();
  int open(const char* name);
  // Opens, or moves the error text into the global error message and shows
  // it. True when the file is open.
  bool open_or_report(const assoc_class* root);
  bool is_open() const { return file_ != nullptr; }
  const char* file_name() const { return name_.c_str(); }

 protected:
  // The runtime handle, null while closed.
  std::FILE* handle() const { return file_.get(); }
  const char* mode() const { return mode_.c_str(); }
  // Where the stream opens its file: the named file itself unless a stream
  // writes somewhere else first.
  virtual std::FILE* open_handle();
  // Called after each successful open, to start reading or writing afresh.
  virtual void on_opened() {}
  // Closes the handle; false when the runtime reports the data was not all
  // written.
  bool close_handle();
  // Why open_handle gave no handle, when the bare "Cannot open file" would
  // hide what the user can act on.
  void refuse_because(const std::string& reason) { refusal_ = reason; }

 private:
  struct closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  std::unique_ptr<std::FILE, closer> file_;
  my_string mode_;
  my_string name_;
  std::string refusal_;
};
