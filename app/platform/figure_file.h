#pragma once

#include <string>
#include <string_view>

// The kinds of figure file the workbench writes, by the file name's
// extension (in any case); `other` for every other name.
enum class figure_format { png, svg, other };
figure_format figure_format_of(const std::string& path);

// Writes `bytes` (binary, NULs included) to a temporary file beside `path`
// and renames it into place once every byte is written, so that a failed
// write leaves the old file as it was. False with "PATH: Cannot write file:
// REASON" in `why`.
bool write_file_replacing(const std::string& path, std::string_view bytes, std::string& why);
