#pragma once

#include <memory>
#include <set>
#include <string>

#include "app/dialogs/open_save_3.h"
#include "core/assoc_class.h"

class TDrawView;

// The xy report of the active graph view (Edit, "Create xy Report"): every
// curve the view shows, over the view's x range, as columns of numbers in a
// text file. Each curve is a pair of columns, x and y, headed by its data
// file's name and its caption; a shorter curve leaves its columns blank once
// it has run out of points.
class capture_as_txt_3 : public assoc_class {
 public:
  const char* class_name() const override { return "capture_as_txt"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // Asks for a file ("Save Report as") and writes the active view's report
  // there, then runs the execution script: this node when written. Null,
  // and nothing asked, when no view is active or it shows nothing to
  // report; null when the dialog was cancelled or the file was not written.
  assoc_class* execute() override;

  // The report of the view, line by line; empty when the view shows no curve
  // with a point in its x range (or none that may be reported). The curves
  // shown are brought up to date first, as painting would.
  static std::string report_text(TDrawView& view);
  // The same, with only the plots whose class names are listed ("yobs",
  // "re", ...): the view shows the real and imaginary parts together, a
  // report may want one of them.
  static std::string report_text(TDrawView& view, const std::set<std::string>& families);
  // The same columns as comma-separated values for a spreadsheet: one header
  // row ("FILE x", "FILE CAPTION" for each curve), then one row per point,
  // with empty cells where a curve has run out.
  static std::string report_csv(TDrawView& view, const std::set<std::string>& families);
  // Every curve the view shows, as tab-separated text under one header row:
  // what "Copy" puts on the clipboard for a spreadsheet.
  static std::string report_tsv(TDrawView& view);
  // Writes the text to `path`, replacing the file only once all of it is
  // written: nothing half-written is left. On failure, false and `why`
  // names the file and the reason; nothing is shown.
  static bool write_text(const std::string& path, const std::string& text, std::string& why);
  // Writes the view's report to `path`. False when there is nothing to
  // report (nothing is written, nothing said) or the file cannot be written
  // (the user is told which file and why).
  static bool write_report(TDrawView& view, const std::string& path);

  // The path the last report was written to.
  const std::string& chosen_path() const { return path_; }
  const open_save_3& dialog() const { return dialog_; }

 private:
  // A null `families` takes every plot.
  static std::string report_for(TDrawView& view, const std::set<std::string>* families, bool csv = false,
                                bool tsv = false);
  // Writes, or shows why not.
  static bool write_text_or_report(const std::string& path, const std::string& text, const assoc_class* reporter);

  open_save_3 dialog_;
  std::string path_;
};
