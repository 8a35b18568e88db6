#include "app/dialogs/hlp_dlg_3.h"

#include "template/template_file.h"

#include "core/paths.h"
#include "io/file_in.h"

std::unique_ptr<assoc_class> hlp_dlg_3::clone_empty() const { return clone_like(*this); }

namespace {
std::string text_or_blank(const char* text) { return text ? text : ""; }
}  // namespace

std::string hlp_dlg_3::help_path() {
  std::string directory = text_or_blank(query_value("win_misc c root_directory"));
  // A relative directory is taken from where the template file lives, so
  // that the bundled help is found wherever the program is started.
  if (directory.empty() || directory[0] != '/') directory = template_directory() + directory;
  return directory + "hlp";
}

bool hlp_dlg_3::read_help(const std::string& path, std::string& text) {
  text.clear();
  file_in in(path.c_str(), false);
  if (!in.open_or_report(nullptr)) return false;
  // Read byte by byte: help lines may be longer than any line buffer, and
  // apostrophes in them are text, not comments.
  in.set_comment_mode(false);
  while (!in.at_end()) {
    const char c = in.get();
    if (c == '\n')
      text += "\r\n";
    else if (c != '\0')
      text += c;
  }
  return true;
}

void hlp_dlg_3::before_showing(platform& p, platform::dialog_id d) {
  std::string text;
  read_help(help_path(), text);
  // The whole text is replaced, so showing the dialog again does not add a
  // second copy, and a file that has gone leaves the edit empty.
  p.edit_set_text(d, edit_id, text);
}
