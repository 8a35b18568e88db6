#pragma once

#include <string>
#include <vector>

// A project file names its data files (the data-file records "xdd") and the
// references between them ("ref_prof") by path. The file holds each path in
// full, whatever the working folder was. Reading takes a path as it was
// written when it names a file; a relative path (as older projects and the
// bundled demo hold) is taken from the project's folder. A path that names
// nothing is looked for at the same place below the project's folder (its
// last folders and name, the most of them first), and last beside the
// project, so that a folder of data moved with its project still opens.

// How a project writes `path` (as held in the tree, absolute or relative to
// the working folder): absolute and normal.
std::string absolute_path(const std::string& path);

// Where a project at `project_path` finds the file it recorded as `recorded`.
struct located_path {
  std::string path;
  // True when the recorded path named nothing and the file was found
  // elsewhere.
  bool moved = false;
};
located_path locate_recorded_path(const std::string& recorded, const std::string& project_path);

// A data file found elsewhere than the project named it.
struct moved_file {
  std::string recorded;
  std::string found;
};

// The record text of a project with each path record's value mapped; every
// other character is kept. Writing makes each path absolute; reading locates
// it as above, and lists the data files found elsewhere in `moved`.
std::string records_for_project(const std::string& records);
std::string records_from_project(const std::string& records, const std::string& project_path,
                                 std::vector<moved_file>* moved = nullptr);
