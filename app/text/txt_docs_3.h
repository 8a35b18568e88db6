#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/open_save_3.h"
#include "app/text/text_file.h"
#include "core/assoc_class.h"

class any_doc_3;
class any_vw_3;

// The open text documents (node "txt_docs", which owns them) and the File
// menu's commands on them: "&Load TXT" opens a TXT file in a text window,
// "&Save TXT" writes the active window's document to its file, "Save TXT
// &As" to a file chosen for it.
class txt_docs_3 : public assoc_class {
 public:
  const char* class_name() const override { return "txt_docs"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // A new document in its own text window, titled, holding the text, for the
  // file `path` (empty: a document the program fills). The window's node;
  // null, after the message "Unable to create view", when no window could
  // be made.
  any_vw_3* open_document(const std::string& title, const std::string& path, const text_file_content& content);
  std::vector<any_doc_3*> documents() const;
  // The document whose window is the active MDI child, or null (no child is
  // active, or it is a graph view or the report editor).
  any_doc_3* active_document() const;

  // The commands "&Load TXT", "&Save TXT" and "Save TXT &As", and whether
  // each is enabled now.
  void command(int id);
  bool enabled(int id) const;

  // Asks for a TXT file and opens it; its window's node, or null when none
  // was chosen or it could not be read (the user has been told why).
  any_vw_3* load();
  // Writes the document to its file; one without a file is asked for one,
  // as by save_as. True when written.
  bool save(any_doc_3& doc);
  // Asks for a file (confirming the replacement of one that exists) and
  // writes the document there. True when written.
  bool save_as(any_doc_3& doc);

  // Whether the application may end as far as the text documents go: each
  // modified one is asked about in turn, and the first the user keeps keeps
  // the application open.
  bool can_close();

 private:
  // Remembers the folder last used.
  open_save_3 dialog_;
};

// The text documents seen from any node of the application's tree; null when
// the template gives none.
txt_docs_3* text_documents(assoc_class& from);
