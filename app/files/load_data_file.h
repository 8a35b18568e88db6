#pragma once

#include <string>

class assoc_class;

enum class load_result { loaded, duplicate, limit_reached, failed };

// Loads one data file as "Load Data" does, from any node of the application's
// tree: the duplicate check "xdd_loaded", the file limit "ok_to_load_more",
// then the path value "pBath_name" set and executed (its template script makes
// the data-file node and loads it). `loaded` receives the new file's node.
// The user has been told why when the file was not loaded.
load_result load_data_file(assoc_class& from, const std::string& path, assoc_class** loaded = nullptr);
