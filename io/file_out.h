#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "core/my_string.h"
#include "core/stream_out.h"
#include "io/file_io.h"

// Writes a text file.
//
// Written directly, the named file is truncated when opened and filled as
// the stream writes. Written as a replacement, the stream writes a new
// temporary file next to the named one, and commit renames it into place:
// until then the named file is untouched, and a stream dropped without
// commit (or failing to write) removes its temporary file and leaves the
// named file as it was. Only a regular file is written or replaced: a
// FIFO, a device or a socket of that name is refused, and a link is followed
// so that the link stays and the file it leads to is replaced.
class file_out : public file_io, public stream_out {
 public:
  enum class write_mode { direct, replace_on_commit };

  explicit file_out(const char* name, bool open_now = true, write_mode how = write_mode::direct);
  ~file_out() override;

  void put_text(const my_string& text) override;
  void put_chars(const char* text) override;
  void put_char(char c) override;

  // Finishes the file: closes it and, for a replacement, renames it into
  // place. True only when every byte reached the named file; otherwise
  // "<name>: Cannot save file" is added to the error text. The stream is
  // closed afterwards either way.
  bool commit();
  // Where a replacement is being written, empty otherwise.
  const char* temporary_name() const { return temp_name_.c_str(); }
  // The runtime's reason (an errno value) for the first step that failed:
  // opening, writing, flushing, closing or renaming; 0 while none has. Kept
  // here because errno itself is overwritten by the clean-up that follows a
  // failure.
  int error_number() const { return error_number_; }

 protected:
  std::FILE* open_handle() override;

 private:
  void write(const char* text, std::size_t n);
  void discard_temporary();
  void note_failure(int error);

  write_mode how_;
  // The file a replacement renames onto: the named one, or the file a link
  // of that name leads to.
  std::string target_;
  my_string temp_name_;
  int error_number_ = 0;
};

// Why nothing can be written at `path`, in words for a message. The folder
// is looked at first, since a missing or misnamed folder is the usual cause;
// otherwise the runtime's reason (`error`, an errno value) is given.
std::string why_not_writable(const std::string& path, int error);
