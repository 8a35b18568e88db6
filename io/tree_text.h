#pragma once

#include <string>

class assoc_class;
class stream_in;
class stream_out;

// The record text of a sub-tree: one record per node in pre-order, each on
// its own line as "name parent value". A reader finds each record's parent in
// the node read just before it or among that node's ancestors.

// Data-file records ("xdd") carry the file's path; loading them means loading
// the file, which the application does.
class data_file_records {
 public:
  virtual ~data_file_records() = default;
  // Loads the file of a data-file record found under `current`; returns the
  // node that the record's own value and children belong to, or null when the
  // file was not loaded (its records are then passed over up to the next
  // data-file record).
  virtual assoc_class* load_record(const char* path, assoc_class& current) = 0;
  // A record's value that its field refused (not a number, beyond its
  // limits): the field kept the value it had. Shown as it is unless the
  // reader's owner says more.
  virtual void value_refused(const std::string& why);
};

void save_subtree(assoc_class& start, stream_out& out);

// Reads records into the tree below `start`. A record whose parent cannot be
// found at or below the start, or whose name cannot be made there, ends the
// reading with the message "Project file is damaged near: " and the name;
// what was read stays. Returns false in that case. A value that its field
// refuses is passed over (the field keeps its value) and said through
// `files`, or shown when there is none.
// `file_name`, when given, is the project file the message names.
bool load_subtree(assoc_class& start, stream_in& in, data_file_records* files = nullptr,
                  const char* file_name = nullptr);

// Reads a record text through without touching any tree, and answers whether
// load_subtree could place all of it below a start node named `start_name`:
// the first record names the start node, each record's parent is the record
// read just before it or one of that record's ancestors (below the start),
// every data-file record carries a path, and no line is too long to read
// (what it held would be lost). A text that fails is reported as
// load_subtree reports it ("Project file is damaged near: " and the name), or
// says that it holds no record or an overlong line.
bool check_subtree(const char* start_name, stream_in& in, const char* file_name = nullptr);
