#pragma once

#include <string>
#include <string_view>

// The largest file a scan can be: 30000 points of the wordiest layout
// (XRDML with a position and a time per point) with its header, many times
// over. Anything larger is not read at all.
inline constexpr long long max_file_bytes = 64LL * 1024 * 1024;

// Why the file at `path`, of `size` bytes, cannot be a scan in any of the
// text layouts, as a sentence for the user; "" when it may be one. Only the
// first bytes are looked at: a file with nothing but blanks is empty, and
// one with a NUL or another control byte that no text holds is binary (an
// image, a zip, an instrument's raw format). A UTF-16 XML file is text.
std::string why_not_a_text_scan(const std::string& path, long long size);

// Why a file of `size` bytes is too large to be read as a scan; "" when it
// is not.
std::string why_too_large_for_a_scan(long long size);
