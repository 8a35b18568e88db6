#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/assoc_class.h"
#include "core/ptr_class.h"

class plot_3;

// One data file shown in a graph view (a child of the view's line list
// "vCiew_lines"): it refers to the file and holds "xAdd_plots", the plot
// objects that draw the file's curves in this view. The plots the template
// lists under "xAdd_plots" are made when the line is bound to its file.
class view_line_9 : public assoc_class {
 public:
  view_line_9();
  ~view_line_9() override;
  const char* class_name() const override { return "view_line"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Lines keep the order in which they were added (the line list keeps its
  // children sorted).
  bool less_than(assoc_class& node) override;

  assoc_class* file() const { return file_.get(); }
  // Refers to the file (a link: the line learns when the file goes) and
  // makes the plots, each bound to the file.
  void bind(assoc_class* file);
  std::vector<plot_3*> plots();

 private:
  // When the file is unloaded the line leaves its view (into the deletion
  // bin) and the view shows what is left.
  friend class notifying_ptr<assoc_class, view_line_9>;
  void target_died();

  std::uint64_t serial_;
  bool destroying_ = false;
  notifying_ptr<assoc_class, view_line_9> file_{*this};
};
