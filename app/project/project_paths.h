#pragma once

#include <string>

// A project file names its data files (the data-file records "xdd") and the
// references between them ("ref_prof") by path. In the file, a path that
// lies in or below the project's folder is written relative to that folder,
// and any other path absolute, so that a folder holding a project and its
// data can be moved or shared. In the tree every path is one that opens
// from the working folder as it is.

// How the project at `project_path` writes `path` (as held in the tree,
// absolute or relative to the working folder).
std::string path_for_project(const std::string& path, const std::string& project_path);
// The longest form in which a project may write `path`: absolute and
// normal (the relative forms are its tails).
std::string absolute_path(const std::string& path);
// The path that a project at `project_path` means by `recorded`: a relative
// path is taken from the project's folder, an absolute one as it is.
std::string path_from_project(const std::string& recorded, const std::string& project_path);

// The record text of a project with each path record's value mapped by one
// of the two functions above; every other character is kept.
std::string records_for_project(const std::string& records, const std::string& project_path);
std::string records_from_project(const std::string& records, const std::string& project_path);
