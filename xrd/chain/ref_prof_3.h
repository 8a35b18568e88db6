#pragma once

#include <memory>

#include "core/fund_type_3.h"
#include "core/ptr_class.h"

class xy_yobs_4;

// The reference profile of a data file (node "ref_prof"): the path of another
// loaded file whose transform this file's transform is divided by. Giving it
// a text assigns the reference: the two files are entered in each other's
// "xdds_tied_to", and the reference's observed profile is linked so that it
// is forgotten when that file is unloaded.
class ref_prof_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "ref_prof"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  assoc_class* set_text(const char* text) override;
  // 0 when the reference is assigned (or cleared), 2 when it is refused:
  // the text names no loaded file or this one. A refusal is said and
  // changes nothing.
  int set_text_with_limits(const char* text) override;
  int assign(const char* text);

  // The reference's observed profile. A path that was read from a project
  // or copied with its file has no link yet: it is looked for among the
  // loaded files then.
  xy_yobs_4* reference_profile();
  assoc_class* reference_file() const { return file_.get(); }
  assoc_class* reference_path() const { return path_.get(); }

  // Counts assignments, so that the quotient knows its reference changed.
  int assignments = 0;

 private:
  assoc_class* own_file();
  // The loaded data file whose path is `text`, or null.
  assoc_class* loaded_file(const char* text);
  void tie(assoc_class* other);
  void detach();
  void redraw_own_file();

  ptr_class<assoc_class> file_;
  ptr_class<assoc_class> path_;
  ptr_class<assoc_class> yobs_;
};
