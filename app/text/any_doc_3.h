#pragma once

#include <memory>
#include <string>

#include "app/text/text_file.h"
#include "core/assoc_class.h"

class any_vw_3;

// A text document (node "any_doc"): the text its window shows, the file it
// belongs to and its window's title. One class serves both kinds of text
// document: those the program fills (a report, a new document), which have
// no file until they are saved, and the user's TXT files.
class any_doc_3 : public assoc_class {
 public:
  const char* class_name() const override { return "any_doc"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // The file, empty while the document has never been saved.
  const std::string& path() const { return path_; }
  const std::string& title() const { return title_; }
  void set_path(const std::string& path) { path_ = path; }
  void set_ends(line_end ends) { ends_ = ends; }
  // Also the title of the window, when it is open.
  void set_title(const std::string& title);

  // The window, null when there is none.
  any_vw_3* view() const;
  // Whether the user changed the text since it was filled or saved.
  bool modified() const;
  // How the document is named to the user: its file, or its title.
  std::string shown_name() const;
  // Whether the document may close: at once when nothing is unsaved, else
  // only when the user agrees to lose the changes (through "yes_no_dlg").
  bool may_close();
  // Writes the text to the file `path`. Written, the document belongs to
  // that file (its path, and its name as the title) and is unmodified. Not
  // written, the user is told which file and why, and nothing changes.
  bool save_to(const std::string& path);

  // The title of a file's window: its name without the folder.
  static std::string file_title(const std::string& path);

 private:
  std::string path_;
  std::string title_;
  line_end ends_ = line_end::lf;
};
