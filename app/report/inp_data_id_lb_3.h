#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/report/lb_tem_3.h"

class assoc_class;
class node_watch;

// One column list box of the report editor: its definition, its control
// ids (the list and its title), and the node each row shows. Identity
// columns only show; a field column edits its rows' fields.
class inp_data_id_lb_3 {
 public:
  inp_data_id_lb_3(lb_tem_3 definition, bool identity, int list_id, int title_id);
  ~inp_data_id_lb_3();

  lb_tem_3 definition;
  bool identity;
  int list_id;
  int title_id;

  bool editable() const { return !identity && !(definition.flags & lb_tem_3::read_only); }
  bool hidden() const { return (definition.flags & lb_tem_3::hidden) != 0; }
  // The node of a row (null when it has gone) and its text.
  void set_cells(std::vector<assoc_class*> nodes);
  assoc_class* cell(int row) const;
  int rows() const { return static_cast<int>(cells_.size()); }
  std::string text(int row) const;
  void erase_rows(const std::vector<int>& ascending);

 private:
  std::vector<std::unique_ptr<node_watch>> cells_;
};

// What a cell shows of a node: a typed value's text, else the node's own
// text (a data file's name), else its name.
std::string cell_text(assoc_class* node);
