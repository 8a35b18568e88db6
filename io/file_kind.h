#pragma once

#include <string>

// What a path names on disk, for the checks before a file is read or
// replaced. Reading a FIFO waits for a writer that never comes, and reading
// a device such as /dev/zero never ends; renaming a new file over either
// destroys the node. Only regular files are data, projects or reports.

// Why `path` is not a file to read or replace, in words for a message ("it
// is a FIFO, not a regular file"); "" when it is a regular file, after
// following links, or when nothing is there.
std::string not_a_regular_file(const std::string& path);

// The same words for the file type bits of a stat mode.
std::string not_a_regular_file(unsigned mode);

// Whether the two paths name one existing file, after following links.
bool same_file(const std::string& a, const std::string& b);
